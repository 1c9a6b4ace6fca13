// UTF-16 as resource files store it, to and from the UTF-8 used everywhere else.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qv::pe {

// Unpaired surrogates become U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);
std::string Utf8FromUtf16Le(std::span<const std::uint8_t> bytes);
// The same into an existing string, which keeps its buffer.
void AssignUtf8FromUtf16Le(std::span<const std::uint8_t> bytes, std::string& out);
// Invalid UTF-8 bytes become U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace qv::pe
