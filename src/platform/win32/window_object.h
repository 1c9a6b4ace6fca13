// The C++ object behind a window: handed to CreateWindowEx as the creation parameter and
// kept in GWLP_USERDATA, so a static window procedure finds its object.
#pragma once

#include <windows.h>

namespace qv::platform::win32 {

// nullptr for the few messages that come before WM_NCCREATE.
template <typename T>
T* WindowObject(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace qv::platform::win32
