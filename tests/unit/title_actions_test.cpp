#include "settings/title_actions.h"

#include <gtest/gtest.h>

#include "config/config_store.h"
#include "config/names.h"
#include "platform/memory/memory_platform.h"

namespace qv::settings {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;

constexpr char kTessels[] = "C:\\Tessels";

CheckList Rows(std::initializer_list<std::pair<const char*, bool>> rows) {
    CheckList list;
    for (const auto& [text, checked] : rows) {
        list.rows.push_back({text, checked});
    }
    return list;
}

TEST(TitleMenus, OnlyARightPressOnATitleRightOfTheCheckColumnOpensOne) {
    const CheckList titles = Rows({{"Alps", false}, {"Harbour", true}});
    EXPECT_EQ(MenuRowFor(titles, TitleKind::Tessel, true, 16, 1), 1);
    EXPECT_FALSE(MenuRowFor(titles, TitleKind::Tessel, true, 15, 1)) << "the check-box column";
    EXPECT_FALSE(MenuRowFor(titles, TitleKind::Tessel, false, 40, 1)) << "a left press";
    EXPECT_FALSE(MenuRowFor(titles, TitleKind::Tessel, true, 40, std::nullopt)) << "below the rows";
    EXPECT_FALSE(MenuRowFor(titles, TitleKind::Tessel, true, 40, 2));
    const CheckList empty = Rows({{"No Preshows Found.", false}});
    EXPECT_FALSE(MenuRowFor(empty, TitleKind::Preshow, true, 40, 0)) << "the placeholder";
    EXPECT_EQ(MenuRowFor(empty, TitleKind::Tessel, true, 40, 0), 0)
        << "another list's placeholder text is a title here";
}

TEST(TitleMenus, CheckingAPreshowUnchecksTheOthersAndUncheckingLeavesNone) {
    CheckList preshows = Rows({{"Intro", true}, {"Outro", true}, {"Zoom", false}});
    KeepOnePreshow(preshows, 1);
    EXPECT_EQ(preshows.rows[0].checked, false);
    EXPECT_EQ(preshows.rows[1].checked, true);
    preshows.rows[1].checked = false;  // unchecked by the user
    KeepOnePreshow(preshows, 1);
    EXPECT_FALSE(preshows.rows[0].checked || preshows.rows[1].checked || preshows.rows[2].checked);
    preshows.rows[2].checked = true;
    KeepOnePreshow(preshows, std::nullopt);  // a press below the last row: nothing
    EXPECT_TRUE(preshows.rows[2].checked);
}

class TitleActions : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, config::value::TesselsDir,
                               kTessels);
        mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath,
                               config::value::InstallLocation,
                               "C:\\Program Files\\Q\\Quorvanes.scr");
        mem.files.AddFile("C:\\Program Files\\Q\\Quorvanes.scr", "C:\\PROGRA~1\\Q\\QUORVA~1.SCR");
        mem.files.AddFile("C:\\WINDOWS\\SYSTEM\\Star Field.scr",
                          "C:\\WINDOWS\\SYSTEM\\STARFI~1.SCR");
        mem.files.AddFile("C:\\Tessels\\Preshows\\Intro.exe");
    }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, config::kKeyPath, name, text);
    }
    std::string User(std::string_view name) {
        return config::ConfigStore(mem.registry, nullptr).ReadUserValue(name);
    }
    // Runs the launch and records when each process started on the fake clock.
    void Run(const DelayedLaunch& launch) { RunDelayedLaunch(mem.platform(), launch); }

    MemoryPlatform mem;
    const Target saver{TitleKind::Saver, "C:\\WINDOWS\\SYSTEM\\Star Field.scr", "Star Field"};
    const Target preshow{TitleKind::Preshow, "Intro", "Intro"};
    const Target tessel{TitleKind::Tessel, "Harbour Lights", "Harbour Lights"};
};

TEST_F(TitleActions, SettingsStartAtOncePreviewsASecondLaterEachWithItsSwitch) {
    EXPECT_FALSE(LaunchFor(tessel, Command::Settings)) << "a Tessel has no settings";
    Run(*LaunchFor(saver, Command::Settings));
    ASSERT_EQ(mem.processes.started.size(), 1u);
    EXPECT_EQ(mem.clock.now, 0) << "settings at once";
    const auto& settings = mem.processes.started[0];
    EXPECT_EQ(settings.launch.commandLine, "C:\\WINDOWS\\SYSTEM\\STARFI~1.SCR /c");
    EXPECT_EQ(settings.launch.priority, platform::Priority::High);
    EXPECT_TRUE(settings.launch.newConsole);
    EXPECT_FALSE(settings.waited) << "the dialog does not wait";

    Run(*LaunchFor(saver, Command::Preview));
    EXPECT_EQ(mem.clock.now, 1000);
    EXPECT_EQ(mem.processes.started.at(1).launch.commandLine,
              "C:\\WINDOWS\\SYSTEM\\STARFI~1.SCR /s");

    Run(*LaunchFor(preshow, Command::Preview));
    EXPECT_EQ(mem.clock.now, 2000);
    EXPECT_EQ(mem.processes.started.at(2).launch.commandLine, "C:\\Tessels\\Preshows\\Intro.exe");
    Run(*LaunchFor(preshow, Command::Settings));
    EXPECT_EQ(mem.clock.now, 2000);
    EXPECT_EQ(mem.processes.started.at(3).launch.commandLine,
              "C:\\Tessels\\Preshows\\Intro.exe /c");
    EXPECT_FALSE(mem.processes.started.at(3).waited);

    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    Run(*LaunchFor(saver, Command::Settings));
    EXPECT_EQ(mem.dialogs.Texts(),
              (std::vector<std::string>{"Unable to start screen saver process."}));
}

// The window hands the body to a thread of its own; here the "thread" is run when the test
// says, after the user has right-clicked other titles and given other commands.
TEST_F(TitleActions, ALaunchKeepsWhatItWasGivenWhateverIsRightClickedNext) {
    auto previews = std::make_shared<TesselPreviewGuard>();
    std::vector<LaunchBody> threads;
    const auto startThread = [&](LaunchBody body) { threads.push_back(std::move(body)); };
    Target selected = saver;  // the dialog's record of the row last right-clicked
    ASSERT_TRUE(StartDelayedLaunch(selected, Command::Preview, previews, startThread));
    selected = preshow;  // a right-click on a Preshow while the first launch waits
    ASSERT_TRUE(StartDelayedLaunch(selected, Command::Settings, previews, startThread));
    selected.item = "Changed";
    selected.kind = TitleKind::Tessel;
    ASSERT_EQ(threads.size(), 2u);

    threads[0](mem.platform());
    threads[1](mem.platform());
    ASSERT_EQ(mem.processes.started.size(), 2u);
    EXPECT_EQ(mem.processes.started[0].launch.commandLine, "C:\\WINDOWS\\SYSTEM\\STARFI~1.SCR /s")
        << "the saver's preview, as given";
    EXPECT_EQ(mem.processes.started[1].launch.commandLine, "C:\\Tessels\\Preshows\\Intro.exe /c");
    EXPECT_FALSE(StartDelayedLaunch(tessel, Command::Settings, previews, startThread))
        << "a Tessel has no settings";
    EXPECT_EQ(threads.size(), 2u);
}

TEST_F(TitleActions, DeleteAsksStoresDeletesRebuildsAndStoresAgain) {
    for (const char* title : {"\\Alps.tsl", "\\Harbour.tsl", "\\Meadow.tsl"}) {
        mem.files.AddFile(std::string(kTessels) + title);
    }
    const OptionsStart start = FormCreate(mem.platform());
    Lists lists{start.savers, start.tessels, start.preshows};
    lists.tessels.rows[0].checked = true;  // Alps and Harbour checked, not yet stored
    lists.tessels.rows[1].checked = true;
    const Target harbour = TitleTarget(TitleKind::Tessel, lists.tessels, 1);

    mem.dialogs.answers = {platform::Answer::Cancel};
    EXPECT_FALSE(DeleteTitle(mem.platform(), start, harbour, lists));
    EXPECT_TRUE(mem.files.FileExists("C:\\Tessels\\Harbour.tsl"));
    EXPECT_EQ(User(config::value::Tessel), "") << "Cancel stores nothing";
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text,
              "This action will delete 'Harbour' from your system.  Are you sure you want to "
              "proceed?");
    EXPECT_EQ(mem.dialogs.shown[0].buttons, platform::Buttons::YesCancel);
    EXPECT_TRUE(mem.dialogs.shown[0].warning);

    mem.dialogs.answers = {platform::Answer::Yes};
    const auto rebuilt = DeleteTitle(mem.platform(), start, harbour, lists);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(mem.files.FileExists("C:\\Tessels\\Harbour.tsl"));
    ASSERT_EQ(rebuilt->tessels.rows.size(), 2u);
    EXPECT_EQ(rebuilt->tessels.rows[0].text, "Alps");
    EXPECT_TRUE(rebuilt->tessels.rows[0].checked) << "the other marks survive the rebuild";
    EXPECT_EQ(User(config::value::Tessel), "Alps") << "and are stored, without the deleted one";

    // A file the system keeps (held open, read only) is reported; its row and its check
    // mark stay, and the others' marks are stored.
    mem.files.undeletable.insert("c:\\tessels\\alps.tsl");
    mem.dialogs.shown.clear();
    mem.dialogs.answers = {platform::Answer::Yes};
    const Target alps = TitleTarget(TitleKind::Tessel, rebuilt->tessels, 0);
    const auto kept = DeleteTitle(mem.platform(), start, alps, *rebuilt);
    ASSERT_TRUE(kept);
    ASSERT_EQ(mem.dialogs.shown.size(), 2u);
    EXPECT_EQ(mem.dialogs.shown[1].text,
              "'Alps' could not be deleted. It may be in use or read-only.");
    ASSERT_EQ(kept->tessels.rows.size(), 2u);
    EXPECT_TRUE(kept->tessels.rows[0].checked);
    EXPECT_EQ(User(config::value::Tessel), "Alps");

    // A name that is no plain file name is never deleted.
    mem.dialogs.answers = {platform::Answer::Yes};
    (void)DeleteTitle(mem.platform(), start, {TitleKind::Tessel, "..\\Meadow", "x"}, *rebuilt);
    EXPECT_TRUE(mem.files.FileExists("C:\\Tessels\\Meadow.tsl"));
}

TEST_F(TitleActions, SaverDeleteRemovesTheFileOfItsOwnFolderAndItsStoredEntry) {
    mem.files.AddFile("C:\\WINDOWS\\Star Field.scr");  // the same name in the other folder
    mem.files.AddFile("C:\\WINDOWS\\SYSTEM\\Bubbles.scr");
    mem.files.AddFile("C:\\WINDOWS\\Mystify.scr");
    SetUser(config::value::Saver, "1Mystify");
    const OptionsStart start = FormCreate(mem.platform());
    Lists lists{start.savers, start.tessels, start.preshows};
    ASSERT_EQ(lists.savers.list.rows.size(), 4u);
    // Bubbles, Mystify, Star Field (Windows), Star Field (System): the user checks Bubbles and
    // the System folder's Star Field and clears Mystify, without OK.
    ASSERT_EQ(lists.savers.files[3].folder, config::SaverFolder::System);
    lists.savers.list.rows[0].checked = true;
    lists.savers.list.rows[1].checked = false;
    lists.savers.list.rows[3].checked = true;
    const Target starField = SaverTarget(mem.files, lists.savers, 3);
    EXPECT_EQ(starField.item, "C:\\WINDOWS\\SYSTEM\\Star Field.scr");

    mem.dialogs.answers = {platform::Answer::Cancel};
    EXPECT_FALSE(DeleteTitle(mem.platform(), start, starField, lists));
    EXPECT_TRUE(mem.files.FileExists("C:\\WINDOWS\\SYSTEM\\Star Field.scr"));
    EXPECT_EQ(User(config::value::Saver), "1Mystify") << "Cancel stores nothing";
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text,
              "This action will delete 'Star Field' from your system.  Are you sure you want to "
              "proceed?")
        << "named by its description";
    EXPECT_EQ(mem.dialogs.shown[0].buttons, platform::Buttons::YesCancel);
    EXPECT_TRUE(mem.dialogs.shown[0].warning);

    mem.dialogs.answers = {platform::Answer::Yes};
    const auto rebuilt = DeleteTitle(mem.platform(), start, starField, lists);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(mem.files.FileExists("C:\\WINDOWS\\SYSTEM\\Star Field.scr"));
    EXPECT_TRUE(mem.files.FileExists("C:\\WINDOWS\\Star Field.scr")) << "the other folder's";
    ASSERT_EQ(rebuilt->savers.list.rows.size(), 3u);
    EXPECT_EQ(rebuilt->savers.list.rows[0].text, "Bubbles");
    EXPECT_TRUE(rebuilt->savers.list.rows[0].checked) << "the unsaved mark survives the rebuild";
    EXPECT_FALSE(rebuilt->savers.list.rows[1].checked) << "and so does the cleared one";
    // The stored entry is matched without its folder digit: the Windows folder's
    // Star Field, the one left, takes the mark.
    EXPECT_EQ(rebuilt->savers.files[2].folder, config::SaverFolder::Windows);
    EXPECT_TRUE(rebuilt->savers.list.rows[2].checked);
    EXPECT_EQ(User(config::value::Saver), "1Bubbles,\"0Star Field\"")
        << "stored again from the rebuilt list: the deleted file's entry is gone";
    EXPECT_EQ(User(config::value::CurrentSaver), "1Bubbles");
    EXPECT_EQ(User(config::value::ScreenSaverType), "1");
}

TEST_F(TitleActions, PreshowDeleteRemovesTheFileAndLeavesTheCheckedOneStored) {
    mem.files.AddFile("C:\\Tessels\\Preshows\\Outro.exe");
    SetUser(config::value::PreshowLocation, "Outro");
    const OptionsStart start = FormCreate(mem.platform());
    Lists lists{start.savers, start.tessels, start.preshows};
    ASSERT_EQ(lists.preshows.rows.size(), 2u);
    lists.preshows.rows[0].checked = true;  // Intro, not yet stored
    lists.preshows.rows[1].checked = false;
    const Target outro = TitleTarget(TitleKind::Preshow, lists.preshows, 1);

    mem.dialogs.answers = {platform::Answer::Cancel};
    EXPECT_FALSE(DeleteTitle(mem.platform(), start, outro, lists));
    EXPECT_TRUE(mem.files.FileExists("C:\\Tessels\\Preshows\\Outro.exe"));
    EXPECT_EQ(User(config::value::PreshowLocation), "Outro");
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text,
              "This action will delete 'Outro' from your system.  Are you sure you want to "
              "proceed?");

    mem.dialogs.answers = {platform::Answer::Yes};
    auto rebuilt = DeleteTitle(mem.platform(), start, outro, lists);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(mem.files.FileExists("C:\\Tessels\\Preshows\\Outro.exe"));
    ASSERT_EQ(rebuilt->preshows.rows.size(), 1u);
    EXPECT_EQ(rebuilt->preshows.rows[0].text, "Intro");
    EXPECT_TRUE(rebuilt->preshows.rows[0].checked);
    EXPECT_EQ(User(config::value::PreshowLocation), "Intro");

    // The checked one itself: the list shows its placeholder and nothing is stored.
    mem.dialogs.answers = {platform::Answer::Yes};
    rebuilt = DeleteTitle(mem.platform(), start,
                          TitleTarget(TitleKind::Preshow, rebuilt->preshows, 0), *rebuilt);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(mem.files.FileExists("C:\\Tessels\\Preshows\\Intro.exe"));
    ASSERT_EQ(rebuilt->preshows.rows.size(), 1u);
    EXPECT_EQ(rebuilt->preshows.rows[0].text, "No Preshows Found.");
    EXPECT_EQ(User(config::value::PreshowLocation), "");

    // A name that is no plain file name is never deleted.
    mem.files.AddFile("C:\\Tessels\\Preshows\\Zoom.exe");
    mem.dialogs.answers = {platform::Answer::Yes};
    (void)DeleteTitle(mem.platform(), start, {TitleKind::Preshow, "..\\Preshows\\Zoom", "x"},
                      *rebuilt);
    EXPECT_TRUE(mem.files.FileExists("C:\\Tessels\\Preshows\\Zoom.exe"));
}

}  // namespace
}  // namespace qv::settings
