// The text rules the lists, the rotation and the deletes share: the order of the user's
// locale and the file system's equality of names, here by the in-memory platform's
// documented stand-ins, and the lists built with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/names.h"
#include "config/reg_ini_file.h"
#include "config/title_list.h"
#include "platform/memory/memory_platform.h"
#include "settings/options.h"

namespace qv {
namespace {

using platform::memory::MemoryTextRules;

TEST(TextRules, NamesMatchAsTheFileSystemComparesThem) {
    MemoryTextRules text;
    EXPECT_TRUE(text.SameName("été à paris", "Été à Paris"));
    EXPECT_TRUE(text.SameName("ÉTÉ", "été"));
    EXPECT_TRUE(text.SameName("ΣΟΦΊΑ", "σοφία")) << "Greek with tonos";
    EXPECT_TRUE(text.SameName("Москва", "МОСКВА"));
    EXPECT_TRUE(text.SameName("東京", "東京"));
    EXPECT_FALSE(text.SameName("東京", "京都"));
    EXPECT_FALSE(text.SameName("Straße", "STRASSE")) << "one unit is never two";
    EXPECT_FALSE(text.SameName("ete", "été")) << "accents count";
    // Turkish: the dotless i uppercases to I, the dotted capital stays itself.
    EXPECT_TRUE(text.SameName("ılık", "ILIK"));
    EXPECT_FALSE(text.SameName("İstanbul", "istanbul"));
    EXPECT_FALSE(text.SameName("Harbour", "Harbour ")) << "lengths differ";
    EXPECT_TRUE(text.SameName("a\xff", "a\xfe")) << "each widened to U+FFFD, as the system does";
}

TEST(TextRules, TheOrderSetsAccentsAndCaseAsideFirst) {
    MemoryTextRules text;
    std::vector<std::string> titles{"Zèbre",       "東京",    "Meadow",         "éclair",
                                    "Été à Paris", "abricot", "Harbour Lights", "Ωmega",
                                    "Яблоко",      "Straße",  "Strasse",        "1999"};
    std::stable_sort(titles.begin(), titles.end(), [&](const std::string& a, const std::string& b) {
        return text.Collate(a, b) < 0;
    });
    EXPECT_EQ(titles, (std::vector<std::string>{"1999", "abricot", "éclair", "Été à Paris",
                                                "Harbour Lights", "Meadow", "Strasse", "Straße",
                                                "Zèbre", "Ωmega", "Яблоко", "東京"}));
    EXPECT_EQ(text.Collate("meadow", "MEADOW"), 0) << "case ignored";
    EXPECT_LT(text.Collate("ete", "été"), 0) << "then the accents decide";
    EXPECT_EQ(text.Collate("été", "ÉTÉ"), 0);
    EXPECT_GT(text.Collate("été", "ete"), 0);
    EXPECT_EQ(text.FromAnsi("Caf\xe9 \x80"), "Caf\xc3\xa9 \xe2\x82\xac");
}

// The Tessel list of a French user: sorted by the locale's rule, the stored entries checked
// by the file system's, and the rotation finding its place by the same rule.
TEST(TextRules, TheTesselListSortsAndChecksTitlesInAnyLanguage) {
    platform::memory::MemoryPlatform mem;
    const std::string folder = "C:\\Program Files\\Économiseur d'écran\\Tessels";
    mem.registry.SetString(platform::RegRoot::LocalMachine, config::kKeyPath,
                           config::value::TesselsDir, folder);
    for (const char* name :
         {"Meadow", "abricot", "Harbour Lights", "Zèbre", "éclair", "Été à Paris", "東京"}) {
        mem.files.AddFile(folder + "\\" + name + ".tsl");
    }
    mem.registry.SetString(platform::RegRoot::CurrentUser, config::kKeyPath, config::value::Tessel,
                           "\"été à paris\",東京");
    const settings::OptionsStart start = settings::FormCreate(mem.platform());
    std::vector<std::string> shown;
    for (const auto& row : start.tessels.rows) {
        shown.push_back(row.text + (row.checked ? " [x]" : ""));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"abricot", "éclair", "Été à Paris [x]",
                                               "Harbour Lights", "Meadow", "Zèbre", "東京 [x]"}));

    const config::TitleList stored{"Été à Paris", "東京"};
    EXPECT_EQ(config::IndexOfEntry(stored, "ÉTÉ À PARIS", mem.text), 0);
    EXPECT_EQ(config::IndexOfEntry(stored, "東京", mem.text), 1);
}

}  // namespace
}  // namespace qv
