#include "pe/utf16.h"

namespace qv::pe {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

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

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t cp = kReplacement;
        std::size_t length = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b >> 5) == 0x6) {
            length = 2;
        } else if ((b >> 4) == 0xE) {
            length = 3;
        } else if ((b >> 3) == 0x1E) {
            length = 4;
        }
        if (length > 1) {
            if (i + length > text.size()) {
                cp = kReplacement;
                length = 1;
            } else {
                cp = b & (0xFF >> (length + 1));
                for (std::size_t k = 1; k < length; ++k) {
                    const auto c = static_cast<unsigned char>(text[i + k]);
                    if ((c >> 6) != 0x2) {
                        cp = kReplacement;
                        length = k;
                        break;
                    }
                    cp = (cp << 6) | (c & 0x3F);
                }
            }
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            out.push_back(static_cast<char16_t>(kReplacement));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

}  // namespace qv::pe
