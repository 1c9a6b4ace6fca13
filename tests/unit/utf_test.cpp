// The one conversion between UTF-8 and UTF-16, and the character counts built on it.
#include "common/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "saver/tessel.h"
#include "settings/saver_description.h"

namespace qv {
namespace {

constexpr char16_t R = 0xFFFD;

// Each malformed piece is one U+FFFD, what follows it is read again, and nothing is lost or
// read past the end; characters beyond the Basic Multilingual Plane travel as pairs.
TEST(Utf, BadBytesBecomeOneReplacementEachAndFourByteCharactersTravelWhole) {
    const std::vector<std::pair<std::string, std::u16string>> cases{
        {"a\xF0\x9F\x98\x80z", {u'a', 0xD83D, 0xDE00, u'z'}},
        {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},  // U+10FFFF, the last
        {"\xF0\x90\x80\x80", {0xD800, 0xDC00}},  // U+10000, the first
        {"\xF4\x90\x80\x80", {R, R, R, R}},      // beyond U+10FFFF
        {"\xC0\xAF|\xE0\x80\xAF|\xF0\x80\x80\xAF", {R, R, u'|', R, R, R, u'|', R, R, R, R}},
        {"\xED\xA0\x80\xED\xBF\xBF", {R, R, R, R, R, R}},  // surrogates written as UTF-8
        {"\xF0\x9F\x98z", {R, u'z'}},                      // cut short: the rest stays
        {"\xE2\x82\xC3\xA9", {R, 0xE9}},
        {"ab\xF0\x9F\x98", {u'a', u'b', R}},               // cut short by the end
        {"\x80\xBF\xFF\xFE\xC1\xF5", {R, R, R, R, R, R}},  // bytes that start nothing
        {"\xF8\x88\x80\x80\x80", {R, R, R, R, R}},
        {std::string("\0x", 2), {u'\0', u'x'}},
    };
    for (const auto& [utf8, utf16] : cases) {
        EXPECT_EQ(Utf16FromUtf8(utf8), utf16) << testing::PrintToString(utf8);
        // Whatever came in, what goes back is well formed and widens to the same units.
        EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(utf16)), utf16) << testing::PrintToString(utf8);
    }

    const std::string text = "a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf\xef\xbf\xbd";
    EXPECT_EQ(Utf8FromUtf16(Utf16FromUtf8(text)), text);
    EXPECT_EQ(Utf8FromUtf16(u"\xD800"
                            u"a"
                            u"\xDC00"),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf8FromUtf16(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "a pair reversed";
    EXPECT_EQ(Utf8FromUtf16(u"x\xD83D"), "x\xEF\xBF\xBD") << "a high surrogate last";
}

// The cuts by characters and by UTF-16 units count what the conversion makes: a malformed
// piece is one character, kept whole, and a four-byte character is one, or two units.
TEST(Utf, CutsCountCharactersAsTheConversionMakesThem) {
    const std::string clefs = "\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E";
    EXPECT_EQ(saver::CutToChars(clefs, 2), clefs.substr(0, 8));
    EXPECT_EQ(CutToUtf16Units(clefs, 5), clefs.substr(0, 8));
    EXPECT_EQ(saver::CutToChars("\xE2\x82z", 1), "\xE2\x82");
    EXPECT_EQ(saver::CutToChars("\x80\x80z", 2), "\x80\x80") << "a stray byte counts";
    EXPECT_EQ(CutToUtf16Units("\xF0\x9F\x98\x80", 1), "") << "a pair is never split";

    EXPECT_EQ(settings::SaverFileTitle("C:\\S\\\xF0\x9F\x98\x80.scr"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(settings::SaverFileTitle("C:\\S\\ab\xF0\x9F\x98\x80.\xC3\xA9\xC3\xA9"), "ab");
    EXPECT_EQ(settings::SaverFileTitle("C:\\S\\ab\xE2\x82.scr\x80"), "ab\xE2\x82.");
}

}  // namespace
}  // namespace qv
