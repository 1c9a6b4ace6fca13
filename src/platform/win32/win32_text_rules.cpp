// How the system compares titles and names, and its ANSI code page.
#include <windows.h>

#include <string>

#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

int Win32TextRules::Collate(std::string_view a, std::string_view b) {
    const std::wstring wa = winbase::Widen(a);
    const std::wstring wb = winbase::Widen(b);
    const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(),
                                         static_cast<int>(wa.size()), wb.c_str(),
                                         static_cast<int>(wb.size()), nullptr, nullptr, 0);
    if (result == 0) {
        return wa.compare(wb) < 0 ? -1 : (wa == wb ? 0 : 1);  // the system could not tell
    }
    return result - CSTR_EQUAL;
}

bool Win32TextRules::SameName(std::string_view a, std::string_view b) {
    const std::wstring wa = winbase::Widen(a);
    const std::wstring wb = winbase::Widen(b);
    return ::CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                  static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

std::string Win32TextRules::FromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), units);
    return winbase::Narrow(wide);
}

}  // namespace qv::platform::win32
