#include "saver/win32/app_window.h"

namespace qv::saver::win32 {

namespace {

constexpr wchar_t kClassName[] = L"QuorvanesApplication";
constexpr wchar_t kTitle[] = L"Quorvanes";

}  // namespace

AppWindow::AppWindow(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    hwnd_ = ::CreateWindowExW(WS_EX_APPWINDOW, kClassName, kTitle, WS_POPUP | WS_CAPTION, 0, 0, 0,
                              0, nullptr, nullptr, instance, nullptr);
}

AppWindow::~AppWindow() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

void AppWindow::UseToolWindowStyle() const {
    if (hwnd_ == nullptr) {
        return;
    }
    LONG style = ::GetWindowLongW(hwnd_, GWL_EXSTYLE);
    style &= ~static_cast<LONG>(WS_EX_APPWINDOW);
    style |= WS_EX_TOOLWINDOW;
    ::SetWindowLongW(hwnd_, GWL_EXSTYLE, style);
}

}  // namespace qv::saver::win32
