#include "tray/tray_program.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "config/names.h"
#include "platform/memory/memory_platform.h"
#include "tray/names.h"

namespace qv::tray {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;

constexpr char kInstall[] = "C:\\Program Files\\Quorvanes\\Quorvanes.scr";
constexpr char kShort[] = "C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR";

// The notification area and the window, as a record; workers wait until the test runs them.
class RecordingShell : public TrayShell {
  public:
    platform::WindowId Window() const override { return 9; }
    bool AddIcon(IconState state, std::string_view text, unsigned callback) override {
        ++adds;
        callbacks.push_back(callback);
        if (!addSucceeds) {
            return false;
        }
        icon = state;
        tip = std::string(text);
        added = true;
        lost = false;
        return true;
    }
    bool ModifyIcon(IconState state, std::string_view text) override {
        ++modifies;
        if (lost) {
            return false;
        }
        icon = state;
        tip = std::string(text);
        return true;
    }
    bool SetCallbackMessage(unsigned callback) override {
        callbacks.push_back(callback);
        return !lost;
    }
    void DeleteIcon() override { added = false; }
    void ShowMenu() override { ++menus; }
    void RequestSystemScreenSaver() override { ++saverStarts; }
    void DestroyWindow() override { ++destroys; }
    void StartWorker(std::function<void()> work) override { workers.push_back(std::move(work)); }
    bool PostToWindowThread(const std::function<void()>& step) override {
        if (windowGone) {
            return false;
        }
        step();
        return true;
    }

    void RunWorker(std::size_t index) {
        auto work = std::move(workers.at(index));
        work();
    }

    bool addSucceeds = true;
    bool lost = false;  // the notification area no longer has the icon: changes fail
    bool windowGone = false;
    bool added = false;
    std::optional<IconState> icon;
    std::string tip;
    std::vector<unsigned> callbacks;
    int adds = 0;
    int modifies = 0;
    int menus = 0;
    int saverStarts = 0;
    int destroys = 0;
    std::vector<std::function<void()>> workers;
};

class TrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath,
                               config::value::InstallLocation, kInstall);
        mem.files.AddFile(kInstall, kShort);
    }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, name, text);
    }
    std::string User(std::string_view name) {
        return config::ConfigStore(mem.registry, nullptr).ReadUserValue(name);
    }
    void SetScrnSave(std::string_view value) {
        ASSERT_TRUE(mem.profile.Write("system.ini", "boot", "SCRNSAVE.EXE", value));
    }
    std::optional<std::string> ScrnSave() {
        return mem.profile.Read("system.ini", "boot", "SCRNSAVE.EXE");
    }
    TrayProgram& Program() {
        program = std::make_unique<TrayProgram>(mem.platform(), shell, kInstall);
        return *program;
    }

    MemoryPlatform mem;
    RecordingShell shell;
    std::unique_ptr<TrayProgram> program;
};

TEST_F(TrayTest, StartUpRunsWithTrayIconOnOneOrMissing) {
    const Startup first = RunTrayStartup(mem.platform(), "QVTIcon.exe");
    EXPECT_EQ(first.outcome, StartupOutcome::Run);
    EXPECT_EQ(first.installLocation, kInstall);
    EXPECT_EQ(mem.processes.existingMutexes.count("QVTIconMutex"), 1u);

    MemoryPlatform other;
    other.registry.SetString(RegRoot::LocalMachine, config::kKeyPath,
                             config::value::InstallLocation, kInstall);
    other.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, config::value::TrayIconOn,
                             "1");
    EXPECT_EQ(RunTrayStartup(other.platform(), "QVTIcon.exe").outcome, StartupOutcome::Run);
}

TEST_F(TrayTest, StartUpEndsQuietlyWhenAnotherRunsOrItIsSwitchedOffOrNotInstalled) {
    SetUser(config::value::Saver, "1One");
    mem.processes.existingMutexes.insert("QVTIconMutex");
    EXPECT_EQ(RunTrayStartup(mem.platform(), "QVTIcon.exe r").outcome,
              StartupOutcome::AlreadyRunning);
    EXPECT_FALSE(ScrnSave()) << "a second instance changes nothing, trailing r or not";

    MemoryPlatform off;
    off.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, config::value::InstallLocation,
                           kInstall);
    off.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, config::value::TrayIconOn, "0");
    EXPECT_EQ(RunTrayStartup(off.platform(), "QVTIcon.exe").outcome, StartupOutcome::Disabled);

    MemoryPlatform bare;
    EXPECT_EQ(RunTrayStartup(bare.platform(), "QVTIcon.exe").outcome,
              StartupOutcome::NoInstallLocation);
    EXPECT_TRUE(mem.dialogs.shown.empty());
    EXPECT_TRUE(off.dialogs.shown.empty());
}

TEST_F(TrayTest, TrailingLowerCaseRRewritesTheSystemSaverEvenWhenSwitchedOff) {
    SetUser(config::value::TrayIconOn, "0");
    SetUser(config::value::Tessel, "Harbour");
    EXPECT_EQ(RunTrayStartup(mem.platform(), "QVTIcon.exe r").outcome, StartupOutcome::Disabled);
    EXPECT_EQ(ScrnSave(), kShort);

    for (const char* line : {"QVTIcon.exe R", "QVTIcon.exe r "}) {
        MemoryPlatform other;
        other.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, config::value::Tessel,
                                 "Harbour");
        (void)RunTrayStartup(other.platform(), line);
        EXPECT_FALSE(other.profile.Read("system.ini", "boot", "SCRNSAVE.EXE")) << line;
    }

    // Nothing selected: the same switch empties the entry.
    MemoryPlatform empty;
    (void)RunTrayStartup(empty.platform(), "QVTIcon.exe r");
    EXPECT_EQ(empty.profile.Read("system.ini", "boot", "SCRNSAVE.EXE"), "");
}

TEST_F(TrayTest, ManagerIsActiveOnlyForTheExactShortPath) {
    const TrayUtilities utilities(mem.platform());
    EXPECT_FALSE(utilities.IsManagerActive()) << "a missing entry reads as none";
    SetScrnSave(kShort);
    EXPECT_TRUE(utilities.IsManagerActive());
    EXPECT_EQ(utilities.StateIcon(), IconState::Active);
    EXPECT_EQ(utilities.StateTip(), "Launch Screen Saver");
    SetScrnSave(kInstall);
    EXPECT_FALSE(utilities.IsManagerActive()) << "the long form";
    SetScrnSave("c:\\progra~1\\quorva~1\\quorva~1.scr");
    EXPECT_FALSE(utilities.IsManagerActive()) << "other letter case";
    EXPECT_EQ(utilities.StateTip(), "Disabled - restart from pop-up menu.");
}

TEST_F(TrayTest, ASaverHostThatIsNotThereIsNeverActiveNorWritten) {
    MemoryPlatform gone;
    gone.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, config::value::InstallLocation,
                            "C:\\Gone\\Quorvanes.scr");
    gone.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, config::value::Saver, "1One");
    const TrayUtilities utilities(gone.platform());
    ASSERT_TRUE(gone.profile.Write("system.ini", "boot", "SCRNSAVE.EXE", ""));
    EXPECT_FALSE(utilities.IsManagerActive()) << "an empty entry must not match a missing path";
    utilities.SetSystemSaver(true);
    EXPECT_EQ(gone.profile.Read("system.ini", "boot", "SCRNSAVE.EXE"), "");
}

TEST_F(TrayTest, ClearingTheSystemSaverKeepsTheKeyAndScreenSavingOn) {
    SetScrnSave(kShort);
    SetUser(config::value::Saver, "1One");
    TrayUtilities(mem.platform()).SetSystemSaver(false);
    EXPECT_EQ(ScrnSave(), "");
    EXPECT_EQ(mem.system.screenSaveActive, true);
    EXPECT_EQ(mem.desktop.winIniBroadcasts, 1);
}

TEST_F(TrayTest, IconIsAddedInItsStateAndRefreshedEveryTenMinutes) {
    Program().AddIconAndStartRefresh();
    EXPECT_TRUE(shell.added);
    EXPECT_EQ(shell.icon, IconState::Inactive);
    EXPECT_EQ(shell.callbacks, (std::vector<unsigned>{kWmTrayNotify}));
    ASSERT_EQ(shell.workers.size(), 1u);

    SetScrnSave(kShort);  // changed elsewhere: seen at the next refresh, not at once
    EXPECT_EQ(shell.icon, IconState::Inactive);
    program->RefreshStatus(2);
    EXPECT_EQ(mem.clock.now, 2 * 600000);
    EXPECT_EQ(shell.modifies, 2);
    EXPECT_EQ(shell.icon, IconState::Active);

    shell.windowGone = true;  // the refresh ends with the window instead of touching it
    program->RefreshStatus();
    EXPECT_EQ(shell.modifies, 2);
    EXPECT_EQ(mem.clock.now, 3 * 600000);

    shell.addSucceeds = false;
    EXPECT_FALSE(Program().AddIconAndStartRefresh());
}

// The icon comes back with what it shows now: after the shell's "TaskbarCreated", and after
// a change the notification area refuses (re-added once); an add that fails is tried
// again at each refresh until it is taken.
TEST_F(TrayTest, AnIconTheNotificationAreaLostIsAddedAgainInItsStateAndClickMode) {
    SetScrnSave(kShort);
    ASSERT_TRUE(Program().AddIconAndStartRefresh());
    program->OnTrayNotify(kWmLButtonUp);  // a launch is pending: clicks are ignored
    shell.icon.reset();
    shell.tip.clear();
    program->OnTaskbarCreated();
    EXPECT_EQ(shell.adds, 2);
    EXPECT_EQ(shell.icon, IconState::Active);
    EXPECT_EQ(shell.tip, text::TipActive);
    EXPECT_EQ(shell.callbacks,
              (std::vector<unsigned>{kWmTrayNotify, kWmTrayIgnored, kWmTrayIgnored}))
        << "added again as it was: clicks still ignored";

    shell.lost = true;
    shell.addSucceeds = false;
    shell.RunWorker(1);  // the launch ends: clicks count again, but the icon is gone
    EXPECT_EQ(shell.adds, 3);
    EXPECT_EQ(shell.callbacks.back(), kWmTrayNotify);
    program->RefreshStatus(1);
    EXPECT_EQ(shell.adds, 4) << "the failed add is tried again at the refresh";
    shell.addSucceeds = true;
    SetScrnSave("");
    program->RefreshStatus(1);
    EXPECT_EQ(shell.adds, 5);
    EXPECT_EQ(shell.icon, IconState::Inactive);
    EXPECT_EQ(shell.callbacks.back(), kWmTrayNotify);
    const int modifies = shell.modifies;
    program->RefreshStatus(1);
    EXPECT_EQ(shell.adds, 5) << "an icon that is there is changed, not added";
    EXPECT_EQ(shell.modifies, modifies + 1);

    shell.lost = true;
    shell.addSucceeds = false;
    program->RefreshStatus(1);
    EXPECT_EQ(shell.adds, 6) << "a refused change adds the icon again once";

    program->OnMessageLoopEnd(false);
    EXPECT_EQ(shell.destroys, 0);
    program->OnMessageLoopEnd(true);
    EXPECT_EQ(shell.destroys, 1) << "a failed loop destroys the window, and the icon with it";
}

TEST_F(TrayTest, SeveralClicksWithinTheSecondStartTheSaverOnce) {
    SetScrnSave(kShort);
    Program();
    EXPECT_FALSE(program->OnTrayNotify(kWmLButtonUp));
    program->OnTrayNotify(kWmLButtonUp);
    program->OnCommand(kIdmLaunch);  // the menu's launch while pending: nothing
    program->OnTrayNotify(0x0201);   // a press does nothing
    EXPECT_EQ(shell.workers.size(), 1u);
    EXPECT_TRUE(program->LaunchPending());
    EXPECT_EQ(shell.callbacks, (std::vector<unsigned>{kWmTrayIgnored}));

    shell.RunWorker(0);
    EXPECT_EQ(mem.clock.now, 1000);
    EXPECT_EQ(shell.saverStarts, 1);
    EXPECT_FALSE(program->LaunchPending());
    EXPECT_EQ(shell.callbacks, (std::vector<unsigned>{kWmTrayIgnored, kWmTrayNotify}));

    program->OnTrayNotify(kWmLButtonUp);
    EXPECT_EQ(shell.workers.size(), 2u) << "clicks count again after the launch";
    shell.windowGone = true;
    shell.RunWorker(1);
    EXPECT_EQ(shell.saverStarts, 1) << "a window gone within the second starts nothing";
    EXPECT_FALSE(program->LaunchPending());
}

TEST_F(TrayTest, LaunchWithoutASystemSaverSaysSoAndAcceptsClicksOnlyAfterwards) {
    Program();
    program->OnTrayNotify(kWmLButtonUp);
    bool pendingDuringTheWait = false;
    mem.dialogs.answers.clear();
    mem.clock.onSleep = [&](std::int64_t) { pendingDuringTheWait = program->LaunchPending(); };
    shell.RunWorker(0);
    EXPECT_TRUE(pendingDuringTheWait);
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text, std::string(text::NoScreenSaver));
    EXPECT_FALSE(mem.dialogs.shown[0].caption) << "the system's default caption";
    EXPECT_EQ(mem.dialogs.shown[0].owner, 0u);
    EXPECT_EQ(shell.saverStarts, 0);
    EXPECT_FALSE(program->LaunchPending());
}

TEST_F(TrayTest, RightClickShowsTheMenuAndSettingsStartTheSaverHostQuoted) {
    Program();
    EXPECT_TRUE(program->OnTrayNotify(kWmRButtonUp));
    EXPECT_EQ(shell.menus, 1);
    program->OnCommand(kIdmSettings);
    ASSERT_EQ(mem.processes.started.size(), 1u);
    const auto& launch = mem.processes.started[0].launch;
    EXPECT_EQ(launch.commandLine, std::string("\"") + kInstall + "\"")
        << "the long form, quoted, so C:\\Program.exe cannot run; nothing appended";
    EXPECT_TRUE(launch.newConsole);
    EXPECT_EQ(launch.priority, platform::Priority::Normal);
    EXPECT_EQ(launch.showCommand, platform::ShowCommand::Show);
    EXPECT_FALSE(mem.processes.started[0].waited);

    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    program->OnCommand(kIdmSettings);
    EXPECT_EQ(mem.dialogs.Texts(),
              (std::vector<std::string>{"Unable to start screen saver process."}));
}

TEST_F(TrayTest, RestartWithTitlesPointsTheSystemAtTheSaverHostAndRefreshes) {
    SetScrnSave("C:\\WINDOWS\\SYSTEM\\OTHER.SCR");
    SetUser(config::value::Tessel, "Harbour");
    Program().OnCommand(kIdmRestart);
    EXPECT_EQ(ScrnSave(), kShort);
    EXPECT_EQ(shell.icon, IconState::Active);
    EXPECT_EQ(mem.system.screenSaveActive, true);
    EXPECT_TRUE(mem.processes.started.empty());
}

TEST_F(TrayTest, RestartWithoutTitlesExplainsAndOpensTheSettings) {
    Program().OnCommand(kIdmRestart);
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].caption, std::string("QVTIcon"));
    EXPECT_EQ(mem.dialogs.shown[0].text, std::string(text::NothingSelected));
    EXPECT_EQ(mem.processes.started.size(), 1u);
    EXPECT_FALSE(ScrnSave());
    EXPECT_EQ(shell.modifies, 0);
}

TEST_F(TrayTest, ShutdownConfirmedSwitchesTheManagerOffAndEndsTheProgram) {
    SetScrnSave(kShort);
    SetUser(config::value::Saver, "1One");
    mem.dialogs.answers = {platform::Answer::Ok};
    Program().OnCommand(kIdmShutdown);
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    const auto& question = mem.dialogs.shown[0];
    EXPECT_EQ(question.owner, 9u);
    EXPECT_EQ(question.buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(question.caption, std::string("Quorvanes"));
    EXPECT_NE(question.text.find("continue.\r\rIf \"OK\" is chosen"), std::string::npos);
    EXPECT_EQ(User(config::value::TrayIconOn), "0");
    EXPECT_EQ(ScrnSave(), "");
    EXPECT_EQ(mem.system.screenSaveActive, true);
    EXPECT_EQ(shell.destroys, 1);

    // The next start of the tray program ends at once.
    mem.processes.existingMutexes.clear();
    EXPECT_EQ(RunTrayStartup(mem.platform(), "QVTIcon.exe").outcome, StartupOutcome::Disabled);
}

TEST_F(TrayTest, ShutdownCancelledChangesNothing) {
    SetScrnSave(kShort);
    mem.dialogs.answers = {platform::Answer::Cancel};
    Program().OnCommand(kIdmShutdown);
    EXPECT_EQ(User(config::value::TrayIconOn), "");
    EXPECT_EQ(ScrnSave(), kShort);
    EXPECT_EQ(shell.destroys, 0);
    EXPECT_EQ(mem.registry.WriteCount(), 0u);
}

TEST_F(TrayTest, AFailedWriteIsReportedAndTheShutdownGoesOn) {
    SetScrnSave(kShort);
    mem.registry.failingValueNames.insert("TrayIconOn");
    mem.profile.unwritable["system.ini"] = "Access is denied.";
    mem.dialogs.answers = {platform::Answer::Ok};
    Program().OnCommand(kIdmShutdown);
    ASSERT_EQ(mem.dialogs.shown.size(), 3u);
    EXPECT_EQ(mem.dialogs.shown[1].text, "Unable to set tray icon registry key.");
    EXPECT_EQ(mem.dialogs.shown[1].caption, std::string("Screen Saver Manager Error"));
    EXPECT_EQ(mem.dialogs.shown[2].text,
              "The system's screen saver could not be changed:\n\n"
              "The screen saver (SCRNSAVE.EXE in system.ini): Access is denied.");
    EXPECT_EQ(mem.dialogs.shown[2].owner, 9u);
    EXPECT_EQ(ScrnSave(), kShort) << "still the saver host: the box says so";
    EXPECT_EQ(shell.destroys, 1);
}

// The icon's tip holds 63 UTF-16 units: it is cut there, never inside a character.
TEST(TrayTip, CutInUtf16UnitsAndNeverInsideACharacter) {
    EXPECT_EQ(CutToUtf16Units(text::TipInactive, kTipChars), text::TipInactive);
    const std::string ascii(70, 'a');
    EXPECT_EQ(CutToUtf16Units(ascii, kTipChars).size(), 63u);
    const std::string umlauts = std::string(62, 'a') + "\xC3\xA4\xC3\xA4";  // a-umlaut: 1 unit
    EXPECT_EQ(CutToUtf16Units(umlauts, kTipChars), std::string(62, 'a') + "\xC3\xA4");
    const std::string clef = std::string(62, 'a') + "\xF0\x9D\x84\x9E";  // needs 2 units
    EXPECT_EQ(CutToUtf16Units(clef, kTipChars), std::string(62, 'a'));
    const std::string stray = std::string(62, 'a') + "\xE2\x82";  // a sequence cut short
    EXPECT_EQ(CutToUtf16Units(stray, kTipChars), stray) << "kept whole, as one character";
}

}  // namespace
}  // namespace qv::tray
