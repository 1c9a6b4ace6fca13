// UTF-8, the text of the whole system, and UTF-16, the system's and the resource files'.
// One rule for text that is not well formed, whichever way it goes: each malformed or
// truncated sequence (its longest valid beginning, so the bytes after it are read again as
// text of their own), each overlong form, each encoded or lone surrogate and each byte that
// starts no sequence becomes one U+FFFD. Nothing is dropped and nothing is read past the end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One character of UTF-8 text: its code point, or U+FFFD for a malformed sequence, and the
// bytes it takes (at least 1).
struct Utf8Char {
    char32_t code;
    std::size_t length;
};

// The character that starts at `at` (< text.size()).
[[nodiscard]] Utf8Char DecodeUtf8At(std::string_view text, std::size_t at);

// The code point's UTF-8 form; a surrogate or a value beyond U+10FFFF gives U+FFFD's.
void AppendUtf8(std::string& out, char32_t code);

// 1, or 2 for a code point beyond the Basic Multilingual Plane (a surrogate pair).
[[nodiscard]] constexpr std::size_t Utf16Units(char32_t code) {
    return code >= 0x10000 ? 2 : 1;
}

[[nodiscard]] std::u16string Utf16FromUtf8(std::string_view utf8);
[[nodiscard]] std::string Utf8FromUtf16(std::u16string_view utf16);

}  // namespace qv
