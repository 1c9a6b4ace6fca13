#include "launch/launch.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "platform/memory/memory_platform.h"

namespace qv::launch {
namespace {

using platform::Priority;
using platform::RegRoot;
using platform::memory::MemoryPlatform;

class LaunchTest : public ::testing::Test {
  protected:
    MemoryPlatform mem;
    config::ConfigStore store{mem.registry, nullptr};
};

TEST_F(LaunchTest, SaverRunsAsItsShortPathWithSlashSAtHighPriorityAndIsWaitedFor) {
    mem.files.AddFile("C:\\WINDOWS\\SYSTEM\\Night Sky.scr", "C:\\WINDOWS\\SYSTEM\\NIGHTS~1.SCR");
    LaunchSaverProcess(mem.platform(), "C:\\WINDOWS\\SYSTEM\\Night Sky.scr");
    ASSERT_EQ(mem.processes.started.size(), 1u);
    const auto& run = mem.processes.started[0];
    EXPECT_EQ(run.launch.commandLine, "C:\\WINDOWS\\SYSTEM\\NIGHTS~1.SCR /s");
    EXPECT_EQ(run.launch.priority, Priority::High);
    EXPECT_TRUE(run.launch.newConsole);
    EXPECT_EQ(run.launch.showCommand, platform::ShowCommand::Show);
    EXPECT_FALSE(run.launch.workingDirectory) << "the saver inherits the host's folder";
    EXPECT_TRUE(run.waited);
}

TEST_F(LaunchTest, PathWithBlanksIsQuotedSoNoShorterProgramRuns) {
    LaunchSaverProcess(mem.platform(), "C:\\Program Files\\Savers\\Deep Sea.scr");
    // A volume without 8.3 names gives the long path as the short form.
    mem.files.AddFile("D:\\My Savers\\Reef.scr", "D:\\My Savers\\Reef.scr");
    LaunchSaverProcess(mem.platform(), "D:\\My Savers\\Reef.scr");
    LaunchSaverProcess(mem.platform(), "C:\\Savers\\Plain.scr");
    std::vector<std::string> lines;
    for (const auto& run : mem.processes.started) {
        lines.push_back(run.launch.commandLine);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"\"C:\\Program Files\\Savers\\Deep Sea.scr\" /s",
                                               "\"D:\\My Savers\\Reef.scr\" /s",
                                               "C:\\Savers\\Plain.scr /s"}));
    EXPECT_EQ(CommandLineFor("\"C:\\Program Files\\x.scr\""), "\"C:\\Program Files\\x.scr\"")
        << "quoted once, never twice";
}

TEST_F(LaunchTest, SaverThatCannotStartIsReportedAndNotWaitedFor) {
    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    LaunchSaverProcess(mem.platform(), "C:\\x.scr");
    LaunchSaverProcess(mem.platform(), "");
    EXPECT_EQ(mem.dialogs.Texts(),
              (std::vector<std::string>{"Unable to start screen saver process.",
                                        "Unable to start screen saver process."}));
    EXPECT_TRUE(mem.processes.started.empty());
}

TEST_F(LaunchTest, PreshowRunsFromThePreshowsFolderAtNormalPriority) {
    mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, config::value::TesselsDir,
                           "C:\\Tessels");
    mem.files.AddFile("C:\\Tessels\\Preshows\\Intro.exe");
    LaunchPreshow(mem.platform(), store, "Intro", "", true);
    LaunchPreshow(mem.platform(), store, "Intro", "/c", false);
    ASSERT_EQ(mem.processes.started.size(), 2u);
    EXPECT_EQ(mem.processes.started[0].launch.commandLine, "C:\\Tessels\\Preshows\\Intro.exe");
    EXPECT_EQ(mem.processes.started[0].launch.workingDirectory, "C:\\Tessels\\Preshows");
    EXPECT_EQ(mem.processes.started[0].launch.priority, Priority::Normal);
    EXPECT_TRUE(mem.processes.started[0].waited);
    EXPECT_EQ(mem.processes.started[1].launch.commandLine, "C:\\Tessels\\Preshows\\Intro.exe /c");
    EXPECT_FALSE(mem.processes.started[1].waited);
}

TEST_F(LaunchTest, PreshowPathWithBlanksIsQuoted) {
    mem.registry.SetString(RegRoot::LocalMachine, config::kKeyPath, config::value::TesselsDir,
                           "C:\\Program Files\\Quorvanes\\Tessels");
    mem.files.AddFile("C:\\Program Files\\Quorvanes\\Tessels\\Preshows\\Sun Rise.exe");
    LaunchPreshow(mem.platform(), store, "Sun Rise", "/c", false);
    ASSERT_EQ(mem.processes.started.size(), 1u);
    EXPECT_EQ(mem.processes.started[0].launch.commandLine,
              "\"C:\\Program Files\\Quorvanes\\Tessels\\Preshows\\Sun Rise.exe\" /c");
}

TEST_F(LaunchTest, MissingPreshowIsSilentAndUnstartableOneIsReportedWithTheSystemCaption) {
    LaunchPreshow(mem.platform(), store, "", "", true);  // looks for "\Preshows\.exe"
    EXPECT_TRUE(mem.processes.started.empty());
    EXPECT_TRUE(mem.dialogs.shown.empty());

    mem.files.AddFile("\\Preshows\\Broken.exe");  // TesselsDir missing: the drive's root
    mem.processes.refuse = [](const platform::ProcessLaunch&) { return true; };
    LaunchPreshow(mem.platform(), store, "Broken", "", true);
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text, "Unable to Launch MiniApp");
    EXPECT_FALSE(mem.dialogs.shown[0].caption);
}

}  // namespace
}  // namespace qv::launch
