#include "saver/win32/app_window.h"

namespace qv::saver::win32 {

AppWindow::AppWindow(HINSTANCE instance) {
    ui::win32::WindowClass windowClass;
    windowClass.name = L"QuorvanesApplication";
    windowClass.instance = instance;
    ui::win32::WindowPlacement placement;
    placement.exStyle = WS_EX_APPWINDOW;
    placement.title = L"Quorvanes";
    placement.style = WS_POPUP | WS_CAPTION;
    (void)Create(windowClass, placement);
}

void AppWindow::UseToolWindowStyle() const {
    if (hwnd() == nullptr) {
        return;
    }
    LONG style = ::GetWindowLongW(hwnd(), GWL_EXSTYLE);
    style &= ~static_cast<LONG>(WS_EX_APPWINDOW);
    style |= WS_EX_TOOLWINDOW;
    ::SetWindowLongW(hwnd(), GWL_EXSTYLE, style);
}

}  // namespace qv::saver::win32
