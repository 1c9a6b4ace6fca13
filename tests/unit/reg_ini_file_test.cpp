#include "config/reg_ini_file.h"

#include <gtest/gtest.h>

#include "config/config_store.h"
#include "config/names.h"
#include "platform/memory/memory_platform.h"

namespace qv::config {
namespace {

using platform::RegRoot;
using platform::memory::MemoryPlatform;

class RegIniFileTest : public ::testing::Test {
  protected:
    void StoreUser(std::string_view name, std::string_view text) {
        mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, name, text);
    }
    MemoryPlatform mem;
};

TEST_F(RegIniFileTest, OpeningCreatesTheBaseKey) {
    EXPECT_FALSE(mem.registry.HasKey(RegRoot::CurrentUser, "Software\\Quorvanes"));
    (void)OpenUserIni(mem.registry);
    EXPECT_TRUE(mem.registry.HasKey(RegRoot::CurrentUser, "Software\\Quorvanes"));
}

TEST_F(RegIniFileTest, MissingAndNonNumericIntegersTakeTheCallersDefault) {
    const auto ini = OpenUserIni(mem.registry);
    EXPECT_EQ(ini.ReadInteger(kIniSection, value::ViewTime, 3), 3);
    StoreUser(value::ViewTime, "seven");
    EXPECT_EQ(ini.ReadInteger(kIniSection, value::ViewTime, 3), 3);
    EXPECT_EQ(ini.ReadInteger(kIniSection, value::ViewTime, 0), 0);
    for (const char* bad : {"", "12abc", " 12", "99999999999", "1.5", "+-1"}) {
        StoreUser(value::MouseDelay, bad);
        EXPECT_EQ(ini.ReadInteger(kIniSection, value::MouseDelay, 2), 2) << "[" << bad << "]";
    }
    StoreUser(value::ViewTime, "15");
    EXPECT_EQ(ini.ReadInteger(kIniSection, value::ViewTime, 3), 15);
    StoreUser(value::ViewTime, "-4");
    EXPECT_EQ(ini.ReadInteger(kIniSection, value::ViewTime, 3), -4);
}

TEST_F(RegIniFileTest, BooleanIsTrueForAnyNonZeroInteger) {
    const auto ini = OpenUserIni(mem.registry);
    EXPECT_FALSE(ini.ReadBool(kIniSection, value::RotationEnabled, false));
    StoreUser(value::RotationEnabled, "1");
    EXPECT_TRUE(ini.ReadBool(kIniSection, value::RotationEnabled, false));
    StoreUser(value::RotationEnabled, "2");
    EXPECT_TRUE(ini.ReadBool(kIniSection, value::RotationEnabled, false));
    StoreUser(value::RotationEnabled, "0");
    EXPECT_FALSE(ini.ReadBool(kIniSection, value::RotationEnabled, true));
    StoreUser(value::RotationEnabled, "yes");
    EXPECT_TRUE(ini.ReadBool(kIniSection, value::RotationEnabled, true));
}

TEST_F(RegIniFileTest, WritesLandInTheSameKeyAsTheDirectOperations) {
    auto ini = OpenUserIni(mem.registry);
    ini.WriteInteger(kIniSection, value::ViewTime, 7);
    ini.WriteBool(kIniSection, value::RotationEnabled, true);
    ini.WriteString(kIniSection, value::UrlLink, "http://example.invalid/a b");
    const ConfigStore store(mem.registry, nullptr);
    EXPECT_EQ(store.ReadUserValue(value::ViewTime), "7");
    EXPECT_EQ(store.ReadUserValue(value::RotationEnabled), "1");
    EXPECT_EQ(store.ReadUserValue(value::UrlLink), "http://example.invalid/a b");
    const auto raw = mem.registry.Query(RegRoot::CurrentUser, kKeyPath, value::ViewTime);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, platform::RegType::String);
    EXPECT_EQ(raw->data, std::string("7\0", 2));
}

TEST_F(RegIniFileTest, FailedWritesRaiseErrorsNamingTheValueOrKey) {
    auto ini = OpenUserIni(mem.registry);
    mem.registry.failingValueNames.insert("ViewTime");
    try {
        ini.WriteInteger(kIniSection, value::ViewTime, 1);
        FAIL() << "no error raised";
    } catch (const ConfigError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'ViewTime'");
    }

    MemoryPlatform locked;
    locked.registry.failKeyCreation = true;
    try {
        (void)OpenUserIni(locked.registry);
        FAIL() << "no error raised";
    } catch (const ConfigError& error) {
        EXPECT_STREQ(error.what(), "Failed to create key Software\\Quorvanes");
    }
}

}  // namespace
}  // namespace qv::config
