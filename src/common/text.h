// Small text helpers shared by both programs.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// `pattern` with its first "%s" replaced by `argument`.
std::string WithArgument(std::string_view pattern, std::string_view argument);

// ASCII case folding: stored names compare without regard to case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
char LowerAscii(char c);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool ContainsIgnoreCase(std::string_view text, std::string_view part);

// The longest prefix of UTF-8 `text` that takes at most `units` UTF-16 code units and ends
// between two characters, for fields the system cuts in UTF-16 units (the tray's tip).
std::string_view CutToUtf16Units(std::string_view text, std::size_t units);

}  // namespace qv
