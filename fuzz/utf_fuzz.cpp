// Fuzzes the conversion between UTF-8 and UTF-16: any bytes convert without fault, either
// way; what comes back from UTF-16 is well formed and converts back to the same units; and
// well-formed text goes there and back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = qv::Utf16FromUtf8(bytes);
    const std::string text = qv::Utf8FromUtf16(wide);
    if (qv::Utf16FromUtf8(text) != wide || qv::Utf8FromUtf16(qv::Utf16FromUtf8(text)) != text) {
        std::abort();
    }
    if (wide.find(static_cast<char16_t>(qv::kReplacementCharacter)) == std::u16string::npos &&
        text != bytes) {
        std::abort();  // no replacement made: the input was well formed, and came back whole
    }
    // The same bytes as UTF-16 units: lone and reversed surrogates included.
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::string narrowed = qv::Utf8FromUtf16(units);
    if (qv::Utf8FromUtf16(qv::Utf16FromUtf8(narrowed)) != narrowed) {
        std::abort();
    }
    return 0;
}
