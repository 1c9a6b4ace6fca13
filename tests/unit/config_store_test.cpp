#include "config/config_store.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "platform/memory/memory_platform.h"

namespace qv::config {
namespace {

using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
using platform::memory::MemoryPlatform;

class ConfigStoreTest : public ::testing::Test {
  protected:
    void StoreUser(std::string_view name, RegValue value) {
        ASSERT_EQ(mem.registry.Set(RegRoot::CurrentUser, kKeyPath, name, value),
                  platform::RegWriteStatus::Ok);
    }

    MemoryPlatform mem;
    ConfigStore store{mem.registry, ShowWriteFailedMessage(mem.dialogs)};
};

TEST_F(ConfigStoreTest, MissingKeyOrValueReadsAsEmpty) {
    EXPECT_EQ(store.ReadUserValue("Saver"), "");
    mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, "Other", "x");
    EXPECT_EQ(store.ReadUserValue("Saver"), "");
}

TEST_F(ConfigStoreTest, ValueMustFitFiveHundredTwelveBytesWithItsTerminator) {
    const std::string fits(511, 'a');
    const std::string tooLong(512, 'a');
    mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, "Fits", fits);
    mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, "TooLong", tooLong);
    EXPECT_EQ(store.ReadUserValue("Fits"), fits);
    EXPECT_EQ(store.ReadUserValue("TooLong"), "");
}

TEST_F(ConfigStoreTest, TextEndsAtFirstNulAndOtherTypesReadAsTheirBytes) {
    StoreUser("Embedded", {RegType::String, std::string("abc\0def\0", 8)});
    EXPECT_EQ(store.ReadUserValue("Embedded"), "abc");
    StoreUser("Number", {RegType::Dword, std::string("\x31\x32\0\0", 4)});
    EXPECT_EQ(store.ReadUserValue("Number"), "12");
    StoreUser("Unterminated", {RegType::String, std::string(512, 'b')});
    EXPECT_EQ(store.ReadUserValue("Unterminated"), "") << "needs a 513th byte for its NUL";
}

TEST_F(ConfigStoreTest, UserAndMachineRootsAreSeparate) {
    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, "TesselsDir", "C:\\Tessels");
    EXPECT_EQ(store.ReadMachineValue("TesselsDir"), "C:\\Tessels");
    EXPECT_EQ(store.ReadUserValue("TesselsDir"), "");
}

TEST_F(ConfigStoreTest, WriteStoresTextWithNulAndEmptyTextKeepsTheValue) {
    store.WriteUserValue("CurrentSaver", "1Ribbons");
    auto stored = mem.registry.Query(RegRoot::CurrentUser, kKeyPath, "CurrentSaver");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, RegType::String);
    EXPECT_EQ(stored->data, std::string("1Ribbons\0", 9));

    store.WriteUserValue("CurrentSaver", "");
    stored = mem.registry.Query(RegRoot::CurrentUser, kKeyPath, "CurrentSaver");
    ASSERT_TRUE(stored) << "writing the empty text must not delete the value";
    EXPECT_EQ(stored->data, std::string(1, '\0'));
    EXPECT_EQ(store.ReadUserValue("CurrentSaver"), "");
}

TEST_F(ConfigStoreTest, FailedSetIsReportedOnceAndFailedKeyIsSilent) {
    mem.registry.failingValueNames.insert("UrlLink");
    store.WriteUserValue("UrlLink", "http://example.invalid/");
    ASSERT_EQ(mem.dialogs.shown.size(), 1u);
    EXPECT_EQ(mem.dialogs.shown[0].text, "Quorvanes: Unable to set tray icon registry key.");

    platform::memory::MemoryPlatform fresh;
    fresh.registry.failKeyCreation = true;
    ConfigStore other(fresh.registry, ShowWriteFailedMessage(fresh.dialogs));
    other.WriteUserValue("UrlLink", "x");
    EXPECT_TRUE(fresh.dialogs.shown.empty());
}

}  // namespace
}  // namespace qv::config
