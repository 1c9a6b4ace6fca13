#include "base/win32/system_error.h"

#include <iterator>

#include "base/win32/wide.h"

namespace qv::winbase {

std::string SystemErrorText(DWORD code) {
    wchar_t buffer[512] = {};
    DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r' ||
                          buffer[length - 1] == L' ')) {
        --length;
    }
    if (length == 0) {
        return "error " + std::to_string(code);
    }
    return Narrow(std::wstring_view(buffer, length));
}

std::string LastErrorText() {
    const DWORD code = ::GetLastError();
    return code == ERROR_SUCCESS ? std::string() : SystemErrorText(code);
}

}  // namespace qv::winbase
