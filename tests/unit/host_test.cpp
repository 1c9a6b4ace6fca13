#include "saver/host.h"

#include <gtest/gtest.h>

#include "password/saver_password.h"
#include "platform/memory/memory_platform.h"

namespace qv::saver {
namespace {

using platform::memory::MemoryPlatform;

class RecordingViews : public HostViews {
  public:
    int RunPictureShow(HostState& state) override { return Record("picture show", state); }
    int RunPreview(HostState& state, platform::WindowId hostWindow) override {
        previewHost = hostWindow;
        return Record("preview", state);
    }
    int RunSettingsDialog(HostState& state) override { return Record("settings", state); }

    std::vector<std::string> runs;
    HostState lastState;
    platform::WindowId previewHost = 0;

  private:
    int Record(const char* what, const HostState& state) {
        runs.emplace_back(what);
        lastState = state;
        return 42;
    }
};

class SaverHostStart : public ::testing::Test {
  protected:
    int Run(const Arguments& args) { return RunSaverHost(mem.platform(), views, args); }
    void AnotherInstanceRuns() { mem.processes.existingMutexes.insert("Quorvanes"); }

    MemoryPlatform mem;
    RecordingViews views;
};

// Every mode, also one that ends before any window (nothing to show, no window number) and
// the two that ignore a running instance: a start meets the mutex of any other start.
TEST_F(SaverHostStart, EveryStartCreatesTheInstanceMutex) {
    const std::vector<Arguments> starts{{"/s"}, {"/p", "5"}, {"/p"},      {"/c"},
                                        {},     {"zz"},      {"/a", "7"}, {"/x"}};
    for (const Arguments& args : starts) {
        mem.processes.existingMutexes.clear();
        Run(args);
        EXPECT_EQ(mem.processes.existingMutexes.count("Quorvanes"), 1u)
            << (args.empty() ? std::string("no arguments") : args.front());
    }
    EXPECT_EQ(views.runs, (std::vector<std::string>{"preview", "settings", "settings",
                                                    "picture show", "settings"}))
        << "each mode went its own way";
}

TEST_F(SaverHostStart, SecondStartWhileFirstRunsExitsSilently) {
    AnotherInstanceRuns();
    for (const Arguments& args : std::vector<Arguments>{{"/s"}, {"/p", "5"}, {"/c"}, {}}) {
        EXPECT_EQ(Run(args), 0);
    }
    EXPECT_TRUE(views.runs.empty());
    EXPECT_TRUE(mem.dialogs.shown.empty());
}

TEST_F(SaverHostStart, TesselPreviewAndPasswordChangeIgnoreTheRunningInstance) {
    AnotherInstanceRuns();
    mem.libraries.presentLibraries.insert("C:\\WINDOWS\\SYSTEM\\mpr.dll");
    mem.libraries.presentFunctions.insert("PwdChangePasswordA");
    EXPECT_EQ(Run({"zz"}), 42);
    EXPECT_EQ(Run({"/a", "77"}), 0);
    EXPECT_EQ(views.runs, std::vector<std::string>{"picture show"});
    ASSERT_EQ(mem.libraries.calls.size(), 1u);
}

TEST_F(SaverHostStart, ModesReachTheirWindows) {
    mem.system.nt = true;
    mem.registry.SetString(platform::RegRoot::LocalMachine, "Software\\Quorvanes\\Tessels",
                           "TesselsDir", "C:\\T");
    mem.files.AddFile("C:\\T\\Only.tsl");
    EXPECT_EQ(Run({"/S"}), 42);
    EXPECT_TRUE(views.lastState.isNT);
    EXPECT_FALSE(views.lastState.trayRunning);
    EXPECT_TRUE(views.lastState.toolWindowMode);
    EXPECT_EQ(views.lastState.mode, Mode::ScreenSaver);
    mem.processes.existingMutexes.clear();
    Run({"/p", "1234"});
    EXPECT_EQ(views.previewHost, 1234u);
    mem.processes.existingMutexes.clear();
    Run({"/c:1234"});
    mem.processes.existingMutexes.clear();
    Run({});
    EXPECT_EQ(views.runs,
              (std::vector<std::string>{"picture show", "preview", "settings", "settings"}));
}

TEST_F(SaverHostStart, ScreenSaverWithNothingToShowEndsAfterItsMessage) {
    EXPECT_EQ(Run({"/s"}), 0);
    EXPECT_TRUE(views.runs.empty());
    EXPECT_EQ(mem.dialogs.Texts(), std::vector<std::string>{"No Quorvanes were found."});
}

TEST_F(SaverHostStart, ToolWindowModesHideTheTaskbarButtonAndSettingsKeepsIt) {
    Run({"/c"});
    EXPECT_FALSE(views.lastState.toolWindowMode);
    mem.processes.existingMutexes.clear();
    Run({"/p", "9"});
    EXPECT_TRUE(views.lastState.toolWindowMode);
    views.lastState = {};
    Run({"zz"});
    EXPECT_TRUE(views.lastState.toolWindowMode);
}

TEST_F(SaverHostStart, PasswordChangeCallsTheSystemProviderWithTheWindow) {
    mem.files.systemDir = "C:\\WINNT\\System32";
    mem.libraries.presentLibraries.insert("C:\\WINNT\\System32\\mpr.dll");
    mem.libraries.presentFunctions.insert("PwdChangePasswordA");
    EXPECT_EQ(Run({"/a", "1234"}), 0);
    ASSERT_EQ(mem.libraries.calls.size(), 1u);
    EXPECT_EQ(mem.libraries.calls[0].provider, "SCRSAVE");
    EXPECT_EQ(mem.libraries.calls[0].window, 1234u);
    EXPECT_TRUE(views.runs.empty());
}

TEST_F(SaverHostStart, PasswordChangeWithoutLibraryDoesNothing) {
    EXPECT_EQ(Run({"/a:55"}), 0);
    EXPECT_TRUE(mem.libraries.calls.empty());
    EXPECT_TRUE(mem.dialogs.shown.empty());
}

TEST_F(SaverHostStart, MissingWindowNumberIsReportedAndEndsTheProgram) {
    mem.libraries.presentLibraries.insert("C:\\WINDOWS\\SYSTEM\\mpr.dll");
    mem.libraries.presentFunctions.insert("PwdChangePasswordA");
    EXPECT_EQ(Run({"/a"}), 1);
    EXPECT_TRUE(mem.libraries.calls.empty());
    mem.processes.existingMutexes.clear();
    EXPECT_EQ(Run({"/p", "abc"}), 1);
    EXPECT_EQ(mem.dialogs.Texts(),
              (std::vector<std::string>{"'' is not a valid window number.",
                                        "'abc' is not a valid window number."}));
    EXPECT_TRUE(views.runs.empty());
}

TEST(VerifySaverPassword, MissingServicesAllowTheCloseAndTheLowByteDecides) {
    MemoryPlatform mem;
    EXPECT_TRUE(password::VerifySaverPassword(mem.platform(), 1));
    mem.libraries.presentLibraries.insert("C:\\WINDOWS\\SYSTEM\\password.cpl");
    EXPECT_TRUE(password::VerifySaverPassword(mem.platform(), 1)) << "function missing";
    mem.libraries.presentFunctions.insert("VerifyScreenSavePwd");
    mem.libraries.verifyResults = {0, 1, 0x100};
    EXPECT_FALSE(password::VerifySaverPassword(mem.platform(), 1));
    EXPECT_TRUE(password::VerifySaverPassword(mem.platform(), 1));
    EXPECT_FALSE(password::VerifySaverPassword(mem.platform(), 1)) << "only the low byte counts";
}

}  // namespace
}  // namespace qv::saver
