// The system's screen-saver parameters.
#include <windows.h>

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

bool Win32SystemSettings::SetScreenSaveActive(bool active) {
    return ::SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr,
                                   kUpdateAndBroadcast) != 0;
}

bool Win32SystemSettings::SetScreenSaveTimeout(int seconds) {
    return ::SystemParametersInfoW(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(seconds), nullptr,
                                   kUpdateAndBroadcast) != 0;
}

bool Win32SystemSettings::SetScreenSaverRunning(bool running) {
    BOOL previous = FALSE;
    return ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous,
                                   0) != 0;
}

}  // namespace qv::platform::win32
