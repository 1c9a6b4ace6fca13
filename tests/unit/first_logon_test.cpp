#include "config/first_logon.h"

#include <gtest/gtest.h>

#include "common/install_names.h"
#include "config/config_store.h"
#include "config/names.h"
#include "platform/memory/memory_platform.h"

namespace qv::config {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;

constexpr char kInstall[] = "C:\\Program Files\\Quorvanes\\Quorvanes.scr";
constexpr char kShort[] = "C:\\PROGRA~1\\QUORVA~1\\QUORVA~1.SCR";

class FirstLogonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, value::InstallLocation, kInstall);
        mem.files.AddFile(kInstall, kShort);
    }
    void SetUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, name, text);
    }
    std::string User(std::string_view name) {
        return ConfigStore(mem.registry, nullptr).ReadUserValue(name);
    }
    std::optional<std::string> ScrnSave() {
        return mem.profile.Read(kSystemIni, kBootSection, kScrnSaveKey);
    }
    FirstLogon Run() { return GiveFirstExperience(mem.platform(), install::kSampleRotation); }

    MemoryPlatform mem;
};

TEST_F(FirstLogonTest, ANewUserGetsTheSamplesAndTheSaverHostAsScreenSaver) {
    const FirstLogon done = Run();
    EXPECT_TRUE(done.seededRotation);
    EXPECT_TRUE(done.setScreenSaver);
    EXPECT_FALSE(done.failed);
    EXPECT_EQ(User(value::Tessel), "\"Harbour Lights\",Meadow");
    EXPECT_EQ(User(value::ScreenSaverType), "0");
    EXPECT_EQ(ScrnSave(), kShort);
    EXPECT_EQ(mem.system.screenSaveActive, true);
    EXPECT_EQ(mem.desktop.winIniBroadcasts, 1);
}

TEST_F(FirstLogonTest, AnEmptyScreenSaverEntryCountsAsNoChoice) {
    ASSERT_TRUE(mem.profile.Write(kSystemIni, kBootSection, kScrnSaveKey, ""));
    EXPECT_TRUE(Run().setScreenSaver);
    EXPECT_EQ(ScrnSave(), kShort);
}

TEST_F(FirstLogonTest, AnotherScreenSaverTheUserChoseStays) {
    ASSERT_TRUE(mem.profile.Write(kSystemIni, kBootSection, kScrnSaveKey, "C:\\W\\OTHER.SCR"));
    const FirstLogon done = Run();
    EXPECT_FALSE(done.setScreenSaver);
    EXPECT_EQ(ScrnSave(), "C:\\W\\OTHER.SCR");
    EXPECT_EQ(mem.desktop.winIniBroadcasts, 0);
    EXPECT_FALSE(mem.system.screenSaveActive.has_value());
}

TEST_F(FirstLogonTest, AUsersOwnRotationStays) {
    for (const auto name : {value::Saver, value::Tessel}) {
        MemoryPlatform fresh;
        fresh.registry.SetString(RegRoot::CurrentUser, kKeyPath, name, "");
        const FirstLogon done = GiveFirstExperience(fresh.platform(), install::kSampleRotation);
        EXPECT_FALSE(done.seededRotation) << name << " stored, even empty, is a choice";
        EXPECT_EQ(ConfigStore(fresh.registry, nullptr).ReadUserValue(value::Tessel), "");
    }
    SetUser(value::Tessel, "Mine");
    SetUser(value::ScreenSaverType, "1");
    EXPECT_FALSE(Run().seededRotation);
    EXPECT_EQ(User(value::Tessel), "Mine");
    EXPECT_EQ(User(value::ScreenSaverType), "1");
}

TEST_F(FirstLogonTest, WithoutAnInstallationTheScreenSaverIsLeftAlone) {
    MemoryPlatform bare;
    const FirstLogon done = GiveFirstExperience(bare.platform(), install::kSampleRotation);
    EXPECT_FALSE(done.setScreenSaver);
    EXPECT_FALSE(bare.profile.Read(kSystemIni, kBootSection, kScrnSaveKey).has_value());
}

}  // namespace
}  // namespace qv::config
