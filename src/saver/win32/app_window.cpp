#include "saver/win32/app_window.h"

namespace qv::saver::win32 {

AppWindow::AppWindow(HINSTANCE instance, bool toolWindow) {
    ui::win32::WindowClass windowClass;
    windowClass.name = L"QuorvanesApplication";
    windowClass.instance = instance;
    ui::win32::WindowPlacement placement;
    placement.exStyle = toolWindow ? WS_EX_TOOLWINDOW : WS_EX_APPWINDOW;
    placement.title = L"Quorvanes";
    placement.style = WS_POPUP | WS_CAPTION;
    // A window the system refuses leaves the show without an owner: it then has a taskbar
    // button of its own, and nothing else changes.
    (void)Create(windowClass, placement);
}

}  // namespace qv::saver::win32
