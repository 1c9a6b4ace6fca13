#include "platform/memory/memory_text.h"

#include <array>
#include <cstdint>
#include <vector>

#include "common/utf.h"

namespace qv::platform::memory {

namespace {

// UTF-8 to code points, by the rule the system's conversion follows too (common/utf.h).
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        out.push_back(c.code);
        at += c.length;
    }
    return out;
}

// The base letter of a Latin-1 or Latin Extended-A letter, upper case; 0 when it has none.
char32_t LatinBase(char32_t c) {
    // U+00C0 to U+00FF, "" for the signs and the letters without a base.
    static constexpr std::string_view kLatin1 =
        "AAAAAAACEEEEIIII"
        "DNOOOOO*OUUUUYTs"
        "AAAAAAACEEEEIIII"
        "DNOOOOO/OUUUUYTY";
    // U+0100 to U+017F, two by two.
    static constexpr std::string_view kExtendedA =
        "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIJJJJKKkLLLLLLLLLLNNNNNNnNNOOOOOOOO"
        "RRRRRRSSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZs";
    if (c >= 0xC0 && c <= 0xFF) {
        const char base = kLatin1[c - 0xC0];
        return base == '*' || base == '/' ? 0 : static_cast<char32_t>(base);
    }
    if (c >= 0x100 && c < 0x100 + kExtendedA.size()) {
        return static_cast<char32_t>(kExtendedA[c - 0x100]);
    }
    return 0;
}

// Greek letters with tonos or dialytika, to the plain letter (lower case).
char32_t GreekBase(char32_t c) {
    switch (c) {
        case 0x386:
        case 0x3AC:
            return 0x3B1;
        case 0x388:
        case 0x3AD:
            return 0x3B5;
        case 0x389:
        case 0x3AE:
            return 0x3B7;
        case 0x38A:
        case 0x3AF:
        case 0x3AA:
        case 0x3CA:
        case 0x390:
            return 0x3B9;
        case 0x38C:
        case 0x3CC:
            return 0x3BF;
        case 0x38E:
        case 0x3CD:
        case 0x3AB:
        case 0x3CB:
        case 0x3B0:
            return 0x3C5;
        case 0x38F:
        case 0x3CE:
            return 0x3C9;
        default:
            return 0;
    }
}

// The primary keys of one character: its base letters, upper case ("ß" gives "SS").
void AppendPrimary(std::u32string& key, char32_t c) {
    if (c == 0xDF) {
        key += U"SS";
        return;
    }
    if (const char32_t latin = LatinBase(c); latin != 0) {
        key.push_back(latin == 's' ? U'S' : latin == 'k' ? U'K' : latin == 'n' ? U'N' : latin);
        return;
    }
    if (const char32_t greek = GreekBase(c); greek != 0) {
        c = greek;
    }
    key.push_back(c < 0x10000 ? SimpleUpper(static_cast<char16_t>(c)) : c);
}

std::u32string PrimaryKey(std::string_view text) {
    std::u32string key;
    for (const char32_t c : CodePoints(text)) {
        AppendPrimary(key, c);
    }
    return key;
}

// The text with case folded but accents kept: the second level.
std::u32string SecondaryKey(std::string_view text) {
    std::u32string key;
    for (const char32_t c : CodePoints(text)) {
        key.push_back(c < 0x10000 ? SimpleUpper(static_cast<char16_t>(c)) : c);
    }
    return key;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

int Compare(const std::u32string& a, const std::u32string& b) {
    return Sign(a.compare(b));
}

}  // namespace

char16_t SimpleUpper(char16_t unit) {
    const auto c = static_cast<std::uint32_t>(unit);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F) ||
        (c >= 0xFF41 && c <= 0xFF5A)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 0x50);
    }
    // Latin Extended-A: pairs upper then lower, even-odd from U+0100 and from U+014A, odd-even
    // from U+0139 and from U+0179; the dotless i, the long s and y with diaeresis alone.
    const bool evenOdd =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddEven = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenOdd && c % 2 == 1) || (oddEven && c % 2 == 0)) {
        return static_cast<char16_t>(c - 1);
    }
    switch (c) {
        case 0xFF:
            return 0x178;
        case 0x131:
            return u'I';
        case 0x17F:
            return u'S';
        case 0x3C2:
            return 0x3A3;  // final sigma
        case 0x3AC:
            return 0x386;
        case 0x3AD:
            return 0x388;
        case 0x3AE:
            return 0x389;
        case 0x3AF:
            return 0x38A;
        case 0x3CC:
            return 0x38C;
        case 0x3CD:
            return 0x38E;
        case 0x3CE:
            return 0x38F;
        default:
            return unit;
    }
}

int MemoryTextRules::Collate(std::string_view a, std::string_view b) {
    if (const int primary = Compare(PrimaryKey(a), PrimaryKey(b)); primary != 0) {
        return primary;
    }
    return Compare(SecondaryKey(a), SecondaryKey(b));
}

bool MemoryTextRules::SameName(std::string_view a, std::string_view b) {
    const std::u16string wa = Utf16FromUtf8(a);
    const std::u16string wb = Utf16FromUtf8(b);
    if (wa.size() != wb.size()) {
        return false;
    }
    for (std::size_t i = 0; i < wa.size(); ++i) {
        if (SimpleUpper(wa[i]) != SimpleUpper(wb[i])) {
            return false;
        }
    }
    return true;
}

std::string MemoryTextRules::FromAnsi(std::string_view bytes) {
    static constexpr std::array<char16_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char32_t{byte});
    }
    return out;
}

}  // namespace qv::platform::memory
