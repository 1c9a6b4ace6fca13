#include "pe/utf16.h"

namespace qv::pe {

void AssignUtf8FromUtf16Le(std::span<const std::uint8_t> bytes, std::string& out) {
    // Resource names are nearly always ASCII: one pass, no conversion buffer for those.
    const std::size_t chars = bytes.size() / 2;
    out.resize(chars);
    for (std::size_t i = 0; i < chars; ++i) {
        if (bytes[2 * i] >= 0x80 || bytes[2 * i + 1] != 0) {
            std::u16string text(chars, u'\0');
            for (std::size_t j = 0; j < chars; ++j) {
                text[j] = static_cast<char16_t>(bytes[2 * j] | (bytes[2 * j + 1] << 8));
            }
            out = Utf8FromUtf16(text);
            return;
        }
        out[i] = static_cast<char>(bytes[2 * i]);
    }
}

std::string Utf8FromUtf16Le(std::span<const std::uint8_t> bytes) {
    std::string out;
    AssignUtf8FromUtf16Le(bytes, out);
    return out;
}

}  // namespace qv::pe
