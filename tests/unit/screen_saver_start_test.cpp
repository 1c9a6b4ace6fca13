#include "saver/screen_saver_start.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "config/title_list.h"
#include "platform/memory/memory_platform.h"

namespace qv::saver {
namespace {

using config::kKeyPath;
namespace value = config::value;
using platform::RegRoot;
using platform::memory::MemoryPlatform;

class ScreenSaverStart : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::TesselsDir, "C:\\T");
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::InstallLocation,
                               "C:\\Q\\Quorvanes.scr");
        mem.files.AddFile("C:\\Q\\Quorvanes.scr", "C:\\Q\\QUORVA~1.SCR");
        state.isNT = true;
    }
    void TrayPresent() { mem.desktop.windows.push_back({77, "Quorvanes TrayIcon"}); }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, name, text);
    }
    void TwoSaversTwoTessels() {
        mem.files.AddFile("C:\\WINDOWS\\SYSTEM\\A.scr", "C:\\WINDOWS\\SYSTEM\\A.SCR");
        mem.files.AddFile("C:\\WINDOWS\\SYSTEM\\B.scr", "C:\\WINDOWS\\SYSTEM\\B.SCR");
        mem.files.AddFile("C:\\T\\X.tsl");
        mem.files.AddFile("C:\\T\\Y.tsl");
        SetUser(value::Saver, "1A,1B");
        SetUser(value::Tessel, "X,Y");
    }
    std::string User(std::string_view name) const { return store.ReadUserValue(name); }
    SaverStartOutcome Start() {
        HostState fresh;
        fresh.isNT = state.isNT;
        state = fresh;
        return StartScreenSaver(mem.platform(), store, state);
    }
    std::vector<std::string> CommandLines() const {
        std::vector<std::string> lines;
        for (const auto& run : mem.processes.started) {
            lines.push_back(run.launch.commandLine);
        }
        return lines;
    }

    MemoryPlatform mem;
    config::ConfigStore store{mem.registry, nullptr};
    HostState state;
};

TEST_F(ScreenSaverStart, TrayWindowIsSoughtByExactTitleOnTheDefaultDesktop) {
    mem.desktop.windows = {{1, "quorvanes trayicon"},
                           {2, "Quorvanes TrayIcon 2"},
                           {3, "Quorvanes TrayIcon"},
                           {4, "Quorvanes TrayIcon"}};
    EXPECT_EQ(FindTrayWindow(mem.platform(), true), 3u);
    EXPECT_EQ(mem.desktop.enumeratedDesktops.back(), "default");
    EXPECT_EQ(FindTrayWindow(mem.platform(), false), 3u);
    EXPECT_FALSE(mem.desktop.enumeratedDesktops.back());
    mem.desktop.defaultDesktopOpens = false;
    EXPECT_EQ(FindTrayWindow(mem.platform(), true), 0u);
}

TEST_F(ScreenSaverStart, RotatesSaversThenTesselsThenSaversAgain) {
    TrayPresent();
    TwoSaversTwoTessels();
    struct Expected {
        SaverStartOutcome outcome;
        const char* type;
        const char* currentSaver;
        const char* currentTessel;
    };
    const Expected steps[] = {
        {SaverStartOutcome::Ended, "1", "1A", ""},
        {SaverStartOutcome::Ended, "1", "1B", ""},
        {SaverStartOutcome::ShowPictureShow, "0", "", "X"},
        {SaverStartOutcome::ShowPictureShow, "0", "", "Y"},
        {SaverStartOutcome::Ended, "1", "1A", ""},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(Start(), step.outcome);
        EXPECT_EQ(User(value::ScreenSaverType), step.type);
        EXPECT_EQ(User(value::CurrentSaver), step.currentSaver);
        EXPECT_EQ(User(value::CurrentTessel), step.currentTessel);
        EXPECT_TRUE(state.trayRunning);
    }
    EXPECT_EQ(CommandLines(), (std::vector<std::string>{"C:\\WINDOWS\\SYSTEM\\A.SCR /s",
                                                        "C:\\WINDOWS\\SYSTEM\\B.SCR /s",
                                                        "C:\\WINDOWS\\SYSTEM\\A.SCR /s"}));
}

TEST_F(ScreenSaverStart, AfterATesselTheTesselListIsAskedFirst) {
    TrayPresent();
    TwoSaversTwoTessels();
    SetUser(value::ScreenSaverType, "0");
    SetUser(value::CurrentTessel, "X");
    SetUser(value::CurrentSaver, "1A");
    EXPECT_EQ(Start(), SaverStartOutcome::ShowPictureShow);
    EXPECT_EQ(User(value::CurrentTessel), "Y");
    EXPECT_EQ(User(value::CurrentSaver), "1A");
}

TEST_F(ScreenSaverStart, OnlyTheTextZeroMeansATesselRanLast) {
    TrayPresent();
    TwoSaversTwoTessels();
    SetUser(value::ScreenSaverType, "00");
    EXPECT_EQ(Start(), SaverStartOutcome::Ended);
    EXPECT_EQ(User(value::CurrentSaver), "1A");
}

TEST_F(ScreenSaverStart, EmptyListsAfterATesselFindNothingAndWriteNothing) {
    TrayPresent();
    SetUser(value::ScreenSaverType, "0");
    const auto writes = mem.registry.WriteCount();
    EXPECT_EQ(Start(), SaverStartOutcome::Ended);
    EXPECT_EQ(mem.dialogs.Texts(), std::vector<std::string>{"No Quorvanes were found."});
    EXPECT_EQ(mem.registry.WriteCount(), writes);
    EXPECT_TRUE(mem.processes.started.empty());
}

TEST_F(ScreenSaverStart, EmptyListsAfterASaverReportThatNoSaverCouldStart) {
    TrayPresent();
    SetUser(value::ScreenSaverType, "1");
    EXPECT_EQ(Start(), SaverStartOutcome::Ended);
    EXPECT_EQ(mem.dialogs.Texts(),
              std::vector<std::string>{"Unable to start screen saver process."});
    EXPECT_EQ(User(value::ScreenSaverType), "1");
}

TEST_F(ScreenSaverStart, ALongTesselListRotatesAndStaysAsTheUserChoseIt) {
    TrayPresent();
    config::TitleList titles;
    for (int i = 0; i < 40; ++i) {
        titles.push_back("Tessel of the day " + std::to_string(i));
        mem.files.AddFile("C:\\T\\" + titles.back() + ".tsl");
    }
    const std::string list = config::EncodeTitleList(titles);
    ASSERT_GT(list.size(), 900u);
    SetUser(value::Tessel, list);
    SetUser(value::ScreenSaverType, "0");
    SetUser(value::CurrentTessel, titles[38]);
    for (const int expected : {39, 0, 1}) {
        EXPECT_EQ(Start(), SaverStartOutcome::ShowPictureShow);
        EXPECT_EQ(User(value::CurrentTessel), titles[static_cast<std::size_t>(expected)]);
        EXPECT_EQ(state.tesselForThisRun, "") << "the show displays CurrentTessel";
        EXPECT_EQ(User(value::Tessel), list);
    }
}

TEST_F(ScreenSaverStart, WithNoListedFileThereTheFirstTesselFileStandsInForThisRunOnly) {
    TrayPresent();
    mem.files.AddFile("C:\\T\\Solo.tsl");
    SetUser(value::Tessel, "Gone,\"Moved away\"");
    SetUser(value::ScreenSaverType, "0");
    EXPECT_EQ(Start(), SaverStartOutcome::ShowPictureShow);
    EXPECT_EQ(state.tesselForThisRun, "Solo");
    EXPECT_EQ(User(value::Tessel), "Gone,\"Moved away\"");
    EXPECT_EQ(User(value::CurrentTessel), "");
    EXPECT_EQ(User(value::ScreenSaverType), "0");
}

TEST_F(ScreenSaverStart, PreshowRunsFirstAndIsWaitedForUserValueBeforeMachineValue) {
    TrayPresent();
    TwoSaversTwoTessels();
    mem.files.AddFile("C:\\T\\Preshows\\Machine.exe");
    mem.files.AddFile("C:\\T\\Preshows\\Mine.exe");
    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::PreshowLocation, "Machine");
    Start();
    SetUser(value::PreshowLocation, "Mine");
    Start();
    EXPECT_EQ(CommandLines(), (std::vector<std::string>{
                                  "C:\\T\\Preshows\\Machine.exe", "C:\\WINDOWS\\SYSTEM\\A.SCR /s",
                                  "C:\\T\\Preshows\\Mine.exe", "C:\\WINDOWS\\SYSTEM\\B.SCR /s"}));
    EXPECT_TRUE(mem.processes.started[0].waited);
}

TEST_F(ScreenSaverStart, WithoutTheTrayProgramTheFirstTesselIsShownAndNothingChanges) {
    TwoSaversTwoTessels();
    mem.files.AddFile("C:\\T\\Preshows\\Intro.exe");
    SetUser(value::PreshowLocation, "Intro");
    SetUser(value::ScreenSaverType, "1");
    EXPECT_EQ(Start(), SaverStartOutcome::ShowPictureShow);
    EXPECT_FALSE(state.trayRunning);
    EXPECT_TRUE(mem.processes.started.empty()) << "no Preshow, no saver";
    EXPECT_EQ(state.tesselForThisRun, "X");
    EXPECT_EQ(mem.registry.WriteCount(), 0u) << "the lists, positions and kind stay as they are";
    EXPECT_EQ(User(value::Tessel), "X,Y");
}

TEST_F(ScreenSaverStart, WithoutTheTrayProgramAndNoTesselNothingIsFound) {
    EXPECT_EQ(Start(), SaverStartOutcome::Ended);
    EXPECT_EQ(mem.dialogs.Texts(), std::vector<std::string>{"No Quorvanes were found."});
}

}  // namespace
}  // namespace qv::saver
