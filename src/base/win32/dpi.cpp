#include "base/win32/dpi.h"

#include "base/win32/system_library.h"
#include "base/win32/unique_handle.h"

namespace qv::winbase {

UINT DpiForWindow(HWND window) {
    // Looked up rather than linked: systems before per-window DPI lack it.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto forWindow = LoadedExport<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (forWindow != nullptr) {
        if (const UINT dpi = forWindow(window); dpi != 0) {
            return dpi;
        }
    }
    const WindowDc dc(window);
    const int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace qv::winbase
