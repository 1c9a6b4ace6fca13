#include "ui/win32/dpi.h"

namespace qv::ui::win32 {

UINT DpiForWindow(HWND window) {
    // Looked up rather than linked: systems before per-window DPI lack it.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    const FARPROC proc = user != nullptr ? ::GetProcAddress(user, "GetDpiForWindow") : nullptr;
    const auto forWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc));
    if (forWindow != nullptr) {
        if (const UINT dpi = forWindow(window); dpi != 0) {
            return dpi;
        }
    }
    HDC dc = ::GetDC(window);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace qv::ui::win32
