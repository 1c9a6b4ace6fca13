#include "config/config_store.h"

#include <gtest/gtest.h>

#include "config/names.h"
#include "config/reg_ini_file.h"
#include "config/show_modes.h"
#include "config/title_list.h"
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

// Titles as the settings write them, stored in exactly `bytes` bytes.
std::string ListOfBytes(std::size_t bytes) {
    std::string stored;
    for (int i = 0; stored.size() < bytes; ++i) {
        stored += (i > 0 ? "," : "") + EncodeTitleList({"Tessel number " + std::to_string(i)});
    }
    stored.resize(bytes);  // the last title may be cut: the text is what is compared
    return stored;
}

TEST_F(ConfigStoreTest, UserValuesReadWholeUpToTheCapAndPathsWithinFiveHundredTwelveBytes) {
    const std::string atCap = ListOfBytes(kStoredValueCapBytes - 1);  // and its NUL
    store.WriteUserValue(value::Tessel, atCap);
    EXPECT_EQ(store.ReadUserValue(value::Tessel), atCap);
    EXPECT_EQ(OpenUserIni(mem.registry).ReadString(kIniSection, value::Tessel, "-"), atCap)
        << "both views of the key read the same";
    EXPECT_GT(DecodeTitleList(atCap).size(), 3000u);

    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, "TesselsDir", std::string(511, 'f'));
    mem.registry.SetString(RegRoot::LocalMachine, kKeyPath, "InstallLocation",
                           std::string(512, 't'));
    EXPECT_EQ(store.ReadMachineValue("TesselsDir"), std::string(511, 'f'));
    EXPECT_EQ(store.ReadMachineValue("InstallLocation"), "") << "a path has 512 bytes";
}

TEST_F(ConfigStoreTest, TextOverTheCapIsNeitherWrittenNorReadAndTheStoredChoiceStays) {
    store.WriteUserValue(value::Tessel, "Harbour,Meadow");
    store.WriteUserValue(value::Tessel, ListOfBytes(kStoredValueCapBytes));
    EXPECT_EQ(store.ReadUserValue(value::Tessel), "Harbour,Meadow");
    EXPECT_EQ(mem.dialogs.Texts(),
              std::vector<std::string>{"Quorvanes: Unable to set tray icon registry key."});

    auto ini = OpenUserIni(mem.registry);
    EXPECT_THROW(ini.WriteString(kIniSection, value::Tessel, ListOfBytes(kStoredValueCapBytes)),
                 ConfigError);
    EXPECT_EQ(store.ReadUserValue(value::Tessel), "Harbour,Meadow");

    // Stored by other means: read as missing, and left as it is.
    mem.registry.SetString(RegRoot::CurrentUser, kKeyPath, value::Saver,
                           ListOfBytes(kStoredValueCapBytes));
    EXPECT_EQ(store.ReadUserValue(value::Saver), "");
    EXPECT_EQ(ini.ReadString(kIniSection, value::Saver, "none"), "none");
    EXPECT_EQ(ini.ReadInteger(kIniSection, value::Saver, 7), 7);
}

TEST_F(ConfigStoreTest, TextEndsAtFirstNulAndOtherTypesReadAsTheirBytes) {
    StoreUser("Embedded", {RegType::String, std::string("abc\0def\0", 8)});
    EXPECT_EQ(store.ReadUserValue("Embedded"), "abc");
    StoreUser("Number", {RegType::Dword, std::string("\x31\x32\0\0", 4)});
    EXPECT_EQ(store.ReadUserValue("Number"), "12");
    ASSERT_EQ(mem.registry.Set(RegRoot::LocalMachine, kKeyPath, "Unterminated",
                               {RegType::String, std::string(512, 'b')}),
              platform::RegWriteStatus::Ok);
    EXPECT_EQ(store.ReadMachineValue("Unterminated"), "") << "needs a 513th byte for its NUL";
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

TEST_F(ConfigStoreTest, ShowModesReadEachValueAloneAndAnythingOddIsTheDefault) {
    EXPECT_EQ(ReadShowModes(store), ShowModes{}) << "no values: the show as it always was";

    store.WriteUserValue("PictureSize", "1");
    store.WriteUserValue("Monitors", "2");
    store.WriteUserValue("Crossfade", "1");
    EXPECT_EQ(ReadShowModes(store),
              (ShowModes{PictureSize::FillMonitor, MonitorUse::NextOnEach, true}));

    StoreUser("Monitors", {RegType::Dword, std::string("\x02\0\0\0", 4)});
    store.WriteUserValue("PictureSize", " 1");
    EXPECT_EQ(ReadShowModes(store),
              (ShowModes{PictureSize::OwnSize, MonitorUse::PrimaryOnly, true}))
        << "a number that is not text, or text with more than the digit, is the default";
    for (const char* odd : {"3", "-1", "10", "1\xff", ""})
        EXPECT_EQ(ParseShowModes("0", odd, "0").monitors, MonitorUse::PrimaryOnly) << odd;

    const ShowModes all{PictureSize::FillMonitor, MonitorUse::SameOnEach, true};
    EXPECT_EQ(ParseShowModes(PictureSizeText(all.size), MonitorUseText(all.monitors),
                             CrossfadeText(all.crossfade)),
              all);
}

}  // namespace
}  // namespace qv::config
