#include "common/text.h"

#include <algorithm>
#include <array>

#include "common/utf.h"

namespace qv {

namespace {

// ASCII only, whatever the C locale says; a table, because listings fold every name.
constexpr std::array<char, 256> kLower = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return table;
}();

}  // namespace

char LowerAscii(char c) {
    return kLower[static_cast<unsigned char>(c)];
}

std::string WithArgument(std::string_view pattern, std::string_view argument) {
    const auto at = pattern.find("%s");
    if (at == std::string_view::npos) {
        return std::string(pattern);
    }
    std::string out(pattern.substr(0, at));
    out += argument;
    out += pattern.substr(at + 2);
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool ContainsIgnoreCase(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) {
        return false;
    }
    const char first = LowerAscii(part.empty() ? '\0' : part[0]);
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (!part.empty() && LowerAscii(text[at]) != first) {
            continue;
        }
        std::size_t same = 0;
        while (same < part.size() && LowerAscii(text[at + same]) == LowerAscii(part[same])) {
            ++same;
        }
        if (same == part.size()) {
            return true;
        }
    }
    return false;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

std::string_view CutToUtf16Units(std::string_view text, std::size_t units) {
    std::size_t at = 0;
    std::size_t used = 0;
    while (at < text.size()) {
        // A malformed sequence is one U+FFFD when widened: one unit, kept whole.
        const Utf8Char c = DecodeUtf8At(text, at);
        if (used + Utf16Units(c.code) > units) {
            break;
        }
        used += Utf16Units(c.code);
        at += c.length;
    }
    return text.substr(0, at);
}

}  // namespace qv
