#include <windows.h>

#include "base/win32/system_error.h"
#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

// GetPrivateProfileString cannot tell a missing key from an empty one, except through a
// default text that no stored value has.
constexpr wchar_t kMissing[] = L"\x01qv-missing\x01";

}  // namespace

std::optional<std::string> Win32Profile::Read(std::string_view file, std::string_view section,
                                              std::string_view key) {
    const std::wstring wfile = winbase::Widen(file);
    const std::wstring wsection = winbase::Widen(section);
    const std::wstring wkey = winbase::Widen(key);
    std::wstring buffer(512, L'\0');
    for (;;) {
        const DWORD got =
            ::GetPrivateProfileStringW(wsection.c_str(), wkey.c_str(), kMissing, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), wfile.c_str());
        if (got + 1 < buffer.size() || buffer.size() >= 1u << 20) {
            buffer.resize(got);
            break;
        }
        buffer.assign(buffer.size() * 2, L'\0');  // cut to size - 1: read again, larger
    }
    if (buffer == kMissing) {
        return std::nullopt;
    }
    return winbase::Narrow(buffer);
}

WriteResult Win32Profile::Write(std::string_view file, std::string_view section,
                                std::string_view key, std::string_view value) {
    ::SetLastError(ERROR_SUCCESS);
    if (::WritePrivateProfileStringW(winbase::Widen(section).c_str(), winbase::Widen(key).c_str(),
                                     winbase::Widen(value).c_str(),
                                     winbase::Widen(file).c_str()) == 0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

}  // namespace qv::platform::win32
