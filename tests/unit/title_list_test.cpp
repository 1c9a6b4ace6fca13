#include "config/title_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "platform/memory/memory_text.h"

namespace qv::config {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(TitleListEncoding, QuotesEntriesWithBlanksCommasQuotesAndControls) {
    EXPECT_EQ(EncodeTitleList({"Ocean", "City Lights"}), "Ocean,\"City Lights\"");
    EXPECT_EQ(EncodeTitleList({"a,b"}), "\"a,b\"");
    EXPECT_EQ(EncodeTitleList({"say \"hi\""}), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(EncodeTitleList({"tab\there"}), "\"tab\there\"");
    EXPECT_EQ(EncodeTitleList({"1Night Sky", "0Mystify"}), "\"1Night Sky\",0Mystify");
}

TEST(TitleListEncoding, EmptyListIsEmptyTextAndLoneEmptyEntryIsTwoQuotes) {
    EXPECT_EQ(EncodeTitleList({}), "");
    EXPECT_EQ(EncodeTitleList({""}), "\"\"");
}

TEST(TitleListEncoding, EmptyEntriesAmongOthersAreQuotedSoNoneIsLost) {
    EXPECT_EQ(EncodeTitleList({"a", ""}), "a,\"\"");
    EXPECT_THAT(DecodeTitleList(EncodeTitleList({"a", ""})), ElementsAre("a", ""));
}

TEST(TitleListDecoding, BareNameWithBlankReadsAsTwoEntries) {
    EXPECT_THAT(DecodeTitleList("City Lights"), ElementsAre("City", "Lights"));
    EXPECT_THAT(DecodeTitleList("Ocean,\"City Lights\""), ElementsAre("Ocean", "City Lights"));
}

TEST(TitleListDecoding, DoubledQuoteInsideQuotedEntryReadsAsOne) {
    EXPECT_THAT(DecodeTitleList("\"The \"\"Best\"\" One\",Next"),
                ElementsAre("The \"Best\" One", "Next"));
}

TEST(TitleListDecoding, HandWrittenSingleQuotedEntryReadsAsTheName) {
    EXPECT_THAT(DecodeTitleList(QuoteSingleEntry("My Tessel")), ElementsAre("My Tessel"));
}

TEST(TitleListDecoding, BlanksAroundEntriesAndCommasAreSkipped) {
    EXPECT_THAT(DecodeTitleList("  a ,\t b  ,c  "), ElementsAre("a", "b", "c"));
    EXPECT_THAT(DecodeTitleList("   "), IsEmpty());
    EXPECT_THAT(DecodeTitleList(""), IsEmpty());
}

TEST(TitleListDecoding, HandEditedOddities) {
    // An unclosed quote takes the rest of the text.
    EXPECT_THAT(DecodeTitleList("a,\"b, c"), ElementsAre("a", "b, c"));
    // Doubled commas give an empty entry; text right after a closing quote starts a new one.
    EXPECT_THAT(DecodeTitleList("a,,b"), ElementsAre("a", "", "b"));
    EXPECT_THAT(DecodeTitleList("\"a\"b"), ElementsAre("a", "b"));
    EXPECT_THAT(DecodeTitleList("\"\""), ElementsAre(""));
}

TEST(TitleListDecoding, TextEndsAtItsFirstNul) {
    const std::string stored("a,b\0,c", 6);
    EXPECT_THAT(DecodeTitleList(stored), ElementsAre("a", "b"));
}

TEST(TitleListLookup, EntriesCompareWithoutCase) {
    platform::memory::MemoryTextRules text;
    const TitleList list{"1Ribbons", "0Mystify"};
    EXPECT_EQ(IndexOfEntry(list, "0MYSTIFY", text), 1);
    EXPECT_EQ(IndexOfEntry(list, "1ribbons", text), 0);
    EXPECT_EQ(IndexOfEntry(list, "1Bubbles", text), -1);
}

// Any list of entries survives the stored form, whatever characters the entries hold.
TEST(TitleListRoundTrip, RandomListsSurviveEncodeAndDecode) {
    std::mt19937 random(20261207);
    const std::string alphabet = std::string("abcXYZ019 ,\"\t\r\n.-_") + "\x01\x1f\x7f\xc3\xa9";
    std::uniform_int_distribution<int> listSize(0, 6);
    std::uniform_int_distribution<int> entrySize(0, 8);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 5000; ++round) {
        TitleList list(static_cast<std::size_t>(listSize(random)));
        for (auto& entry : list) {
            const int n = entrySize(random);
            for (int i = 0; i < n; ++i) {
                entry.push_back(alphabet[pick(random)]);
            }
        }
        const std::string stored = EncodeTitleList(list);
        ASSERT_EQ(DecodeTitleList(stored), list) << "stored as [" << stored << "]";
    }
}

}  // namespace
}  // namespace qv::config
