#include "common/text.h"

#include <algorithm>
#include <cctype>

namespace qv {

namespace {

char LowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

}  // namespace qv
