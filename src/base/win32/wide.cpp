#include "base/win32/wide.h"

#include "common/utf.h"

namespace qv::winbase {

// The portable conversion, not the system's: text not well formed becomes the same U+FFFD
// here as in the logic's own conversions and its tests.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32's wide text is UTF-16");

std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = Utf16FromUtf8(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view utf16) {
    return Utf8FromUtf16(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace qv::winbase
