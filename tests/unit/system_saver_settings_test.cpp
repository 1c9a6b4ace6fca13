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
    settings.SetScreenSaverIsSecure(true);
    EXPECT_TRUE(settings.ScreenSaverIsSecure());
    mem.registry.SetString(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaverIsSecure, "2");
    EXPECT_FALSE(settings.ScreenSaverIsSecure());
}

TEST_F(SystemSaverSettingsTest, UsePasswordIsADwordAndAnythingElseIsOff) {
    EXPECT_FALSE(settings.ScreenSaveUsePassword());
    settings.SetScreenSaveUsePassword(true);
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

TEST_F(SystemSaverSettingsTest, TimeoutIsWrittenThroughTheSystem) {
    settings.SetScreenSaveTimeOut(900);
    EXPECT_EQ(mem.system.screenSaveTimeout, 900);
}

TEST_F(SystemSaverSettingsTest, ClearingTheSaverKeepsTheKeyBroadcastsAndStaysActive) {
    settings.SetSystemScreenSaver("C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR");
    settings.SetSystemScreenSaver("");
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
