// The density a window is shown at, and lengths given at 96 DPI scaled to it.
#pragma once

#include <windows.h>

namespace qv::winbase {

// The window's DPI where the system tells it per window, else the screen's; 96 at least
// as a fallback.
UINT DpiForWindow(HWND window);

inline int Scaled(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), 96);
}

}  // namespace qv::winbase
