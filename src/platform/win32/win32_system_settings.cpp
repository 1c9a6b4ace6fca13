// The system's screen-saver parameters.
#include <windows.h>

#include "base/win32/system_error.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

constexpr UINT kUpdateAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;

}  // namespace

bool Win32SystemSettings::IsNT() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return ::GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

WriteResult Win32SystemSettings::SetScreenSaveActive(bool active) {
    ::SetLastError(ERROR_SUCCESS);
    if (::SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr,
                                kUpdateAndBroadcast) == 0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

WriteResult Win32SystemSettings::SetScreenSaveTimeout(int seconds) {
    ::SetLastError(ERROR_SUCCESS);
    if (::SystemParametersInfoW(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(seconds), nullptr,
                                kUpdateAndBroadcast) == 0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

WriteResult Win32SystemSettings::SetScreenSaverRunning(bool running) {
    BOOL previous = FALSE;
    ::SetLastError(ERROR_SUCCESS);
    if (::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0) ==
        0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

}  // namespace qv::platform::win32
