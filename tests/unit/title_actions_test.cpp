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

    // A second command while the preview waits does not change what the first starts.
    DelayedLaunch preview = *LaunchFor(saver, Command::Preview);
    mem.clock.onSleep = [&](std::int64_t) { preview.launchSwitch = "/c"; };
    const DelayedLaunch ownCopy = preview;
    Run(ownCopy);
    mem.clock.onSleep = nullptr;
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

TEST_F(TitleActions, TesselPreviewShowsTheTesselAloneAndRestoresWhatTheUserDidNotChange) {
    SetUser(config::value::Tessel, "Alps,Meadow");
    SetUser(config::value::CurrentTessel, "Meadow");
    SetUser(config::value::RotationEnabled, "1");
    std::vector<std::string> duringTheLaunch;
    mem.processes.refuse = [&](const platform::ProcessLaunch&) {
        duringTheLaunch = {User(config::value::Tessel), User(config::value::CurrentTessel),
                           User(config::value::RotationEnabled)};
        return false;
    };
    Run(*LaunchFor(tessel, Command::Preview));
    EXPECT_EQ(duringTheLaunch,
              (std::vector<std::string>{"\"Harbour Lights\"", "Harbour Lights", "0"}));
    ASSERT_EQ(mem.processes.started.size(), 1u);
    EXPECT_EQ(mem.processes.started[0].launch.commandLine, "C:\\PROGRA~1\\Q\\QUORVA~1.SCR zz");
    EXPECT_EQ(mem.clock.now, 3000) << "a second before, two after";
    EXPECT_EQ(User(config::value::Tessel), "Alps,Meadow");
    EXPECT_EQ(User(config::value::CurrentTessel), "Meadow");
    EXPECT_EQ(User(config::value::RotationEnabled), "1");

    // An OK within the two seconds stored the user's new choice: it stays.
    mem.clock.onSleep = [&](std::int64_t ms) {
        if (ms == kTesselPreviewHoldMs) {
            SetUser(config::value::Tessel, "Meadow");
        }
    };
    Run(*LaunchFor(tessel, Command::Preview));
    EXPECT_EQ(User(config::value::Tessel), "Meadow");
    EXPECT_EQ(User(config::value::CurrentTessel), "Meadow") << "the untouched values come back";
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

}  // namespace
}  // namespace qv::settings
