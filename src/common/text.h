// Small text helpers shared by both programs.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// `pattern` with its first "%s" replaced by `argument`.
std::string WithArgument(std::string_view pattern, std::string_view argument);

// ASCII case folding: stored names compare without regard to case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);
bool ContainsIgnoreCase(std::string_view text, std::string_view part);

}  // namespace qv
