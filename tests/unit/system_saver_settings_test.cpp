#include "config/system_saver_settings.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "platform/memory/memory_platform.h"

namespace qv::config {
namespace {

using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
using platform::memory::MemoryPlatform;

class SystemSaverSettingsTest : public ::testing::Test {
  protected:
    void StoreDesktop(std::string_view name, RegValue value) {
        ASSERT_EQ(mem.registry.Set(RegRoot::CurrentUser, kDesktopKeyPath, name, value),
                  platform::RegWriteStatus::Ok);
    }
    MemoryPlatform mem;
    SystemSaverSettings settings{mem.platform()};
};

TEST_F(SystemSaverSettingsTest, TimeoutDefaultsToAnHour) {
    EXPECT_EQ(settings.ScreenSaveTimeOut(), 3600);
    mem.registry.SetString(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaveTimeOut, "600");
    EXPECT_EQ(settings.ScreenSaveTimeOut(), 600);
}

TEST_F(SystemSaverSettingsTest, SecureIsOnOnlyForTheTextOne) {
    EXPECT_FALSE(settings.ScreenSaverIsSecure());
    EXPECT_TRUE(settings.SetScreenSaverIsSecure(true).empty());
    EXPECT_TRUE(settings.ScreenSaverIsSecure());
    mem.registry.SetString(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaverIsSecure, "2");
    EXPECT_FALSE(settings.ScreenSaverIsSecure());
}

TEST_F(SystemSaverSettingsTest, UsePasswordIsADwordAndAnythingElseIsOff) {
    EXPECT_FALSE(settings.ScreenSaveUsePassword());
    EXPECT_TRUE(settings.SetScreenSaveUsePassword(true).empty());
    const auto stored =
        mem.registry.Query(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaveUsePassword);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, RegType::Dword);
    EXPECT_TRUE(settings.ScreenSaveUsePassword());
    StoreDesktop(kScreenSaveUsePassword, {RegType::String, std::string("1\0", 2)});
    EXPECT_FALSE(settings.ScreenSaveUsePassword());
    StoreDesktop(kScreenSaveUsePassword, {RegType::Dword, std::string("\0\0\0\0", 4)});
    EXPECT_FALSE(settings.ScreenSaveUsePassword());
    StoreDesktop(kScreenSaveUsePassword, {RegType::Dword, std::string("\0\1\0\0", 4)});
    EXPECT_TRUE(settings.ScreenSaveUsePassword()) << "the whole number counts, not its low byte";
}

// Each write the system refuses is reported with its reason, and the steps after it still
// run: the broadcast and the active flag follow an unwritable system.ini.
TEST_F(SystemSaverSettingsTest, EveryRefusedWriteIsReportedWithTheSystemsReason) {
    mem.system.timeoutRefused = "Access is denied.";
    const SettingFailures timeout = settings.SetScreenSaveTimeOut(900);
    ASSERT_EQ(timeout.size(), 1u);
    EXPECT_EQ(timeout[0].setting, "The waiting time (ScreenSaveTimeOut)");
    EXPECT_EQ(timeout[0].reason, "Access is denied.");
    EXPECT_EQ(mem.system.screenSaveTimeout, std::nullopt);

    mem.registry.failKeyCreation = true;
    const SettingFailures usePassword = settings.SetScreenSaveUsePassword(true);
    ASSERT_EQ(usePassword.size(), 1u);
    EXPECT_EQ(usePassword[0].setting, "The password option (ScreenSaveUsePassword)");
    EXPECT_EQ(usePassword[0].reason,
              "the registry key HKEY_CURRENT_USER\\Control Panel\\Desktop could not be opened: "
              "Access is denied.");
    mem.registry.failKeyCreation = false;
    mem.registry.failingValueNames.insert(std::string(kScreenSaverIsSecure));
    const SettingFailures secure = settings.SetScreenSaverIsSecure(true);
    ASSERT_EQ(secure.size(), 1u);
    EXPECT_EQ(secure[0].setting, "The password option (ScreenSaverIsSecure)");
    EXPECT_EQ(secure[0].reason, "the registry refused the value: Access is denied.");

    mem.profile.unwritable["system.ini"] = "The file is read-only.";
    mem.system.activeRefused = "";
    const SettingFailures saver = settings.SetSystemScreenSaver("C:\\QUORVA~1.SCR");
    EXPECT_EQ(settings.SystemScreenSaver("none", 512), "none") << "nothing was written";
    EXPECT_EQ(mem.desktop.winIniBroadcasts, 1);
    EXPECT_EQ(DescribeFailures(saver),
              "The screen saver (SCRNSAVE.EXE in system.ini): The file is read-only.\n"
              "Screen saving switched on (ScreenSaveActive): the system gave no reason.");

    mem.system.activeRefused.reset();
    EXPECT_EQ(settings.SetSystemScreenSaver("C:\\QUORVA~1.SCR").size(), 1u)
        << "only what failed is reported";
}

TEST_F(SystemSaverSettingsTest, ClearingTheSaverKeepsTheKeyBroadcastsAndStaysActive) {
    EXPECT_TRUE(settings.SetSystemScreenSaver("C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR").empty());
    EXPECT_TRUE(settings.SetSystemScreenSaver("").empty());
    EXPECT_EQ(mem.profile.Read("system.ini", "boot", "SCRNSAVE.EXE"), std::string());
    EXPECT_EQ(settings.SystemScreenSaver("none", 512), "");
    EXPECT_EQ(mem.desktop.winIniBroadcasts, 2);
    EXPECT_EQ(mem.system.screenSaveActive, true);
}

TEST_F(SystemSaverSettingsTest, ProfileReadsApplyDefaultAndBuffer) {
    EXPECT_EQ(settings.SystemScreenSaver("none", 512), "none");
    ASSERT_TRUE(mem.profile.Write("system.ini", "boot", "SCRNSAVE.EXE", std::string(300, 'x')));
    EXPECT_EQ(settings.SystemScreenSaver("", 255).size(), 254u);
    EXPECT_EQ(ReadProfileString(mem.profile, "system.ini", "BOOT", "scrnsave.exe", "", 512),
              std::string(300, 'x'))
        << "sections and keys of ini files ignore case";
}

}  // namespace
}  // namespace qv::config
