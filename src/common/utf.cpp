#include "common/utf.h"

namespace qv {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool IsSurrogate(char32_t code) {
    return code >= 0xD800 && code < 0xE000;
}

}  // namespace

Utf8Char DecodeUtf8At(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    // The lead byte gives the length and the range of the second byte, which is where
    // overlong forms, surrogates and values beyond U+10FFFF are told apart (C0, C1 and
    // F5 to FF start nothing).
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {kReplacementCharacter, 1};
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if (at + k >= text.size()) {
            return {kReplacementCharacter, k};  // cut short by the end of the text
        }
        const auto next = static_cast<unsigned char>(text[at + k]);
        const bool fits = k == 1 ? next >= low && next <= high : IsContinuation(next);
        if (!fits) {
            return {kReplacementCharacter, k};  // `next` is read again, as a start
        }
        code = (code << 6) | (next & 0x3F);
    }
    return {code, length};
}

void AppendUtf8(std::string& out, char32_t code) {
    if (IsSurrogate(code) || code > 0x10FFFF) {
        code = kReplacementCharacter;
    }
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Char c = DecodeUtf8At(utf8, at);
        if (Utf16Units(c.code) == 2) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c.code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c.code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c.code));
        }
        at += c.length;
    }
    return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t unit = utf16[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, unit);  // a lone surrogate becomes U+FFFD there
        }
    }
    return out;
}

}  // namespace qv
