#include "common/text.h"

#include <algorithm>
#include <array>

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

constexpr char LowerAscii(char c) {
    return kLower[static_cast<unsigned char>(c)];
}

}  // namespace

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

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

}  // namespace qv
