#include "ui/win32/window.h"

#include <exception>
#include <string>
#include <utility>

#include "platform/win32/wide.h"

namespace qv::ui::win32 {

Window::~Window() {
    if (hwnd_ != nullptr) {
        // The derived part is gone: its handlers must not run any more.
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

void Window::Destroy() noexcept {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
    }
}

bool Window::Create(const WindowClass& windowClass, const WindowPlacement& placement) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(windowClass.instance, windowClass.name, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = windowClass.style;
        wc.lpfnWndProc = &Procedure;
        wc.hInstance = windowClass.instance;
        wc.hIcon = windowClass.icon;
        wc.hCursor =
            windowClass.cursor != nullptr ? windowClass.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = windowClass.background;
        wc.lpszClassName = windowClass.name;
        if (::RegisterClassExW(&wc) == 0) {
            return false;
        }
    }
    const RECT& b = placement.bounds;
    const HWND created =
        ::CreateWindowExW(placement.exStyle, windowClass.name, placement.title, placement.style,
                          b.left, b.top, b.right - b.left, b.bottom - b.top, placement.parent,
                          placement.menuOrId, windowClass.instance, this);
    return created != nullptr;
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::OnFailure(std::string_view what) noexcept {
    try {
        const std::wstring text = platform::win32::Widen(what);
        ::MessageBoxW(hwnd_, text.c_str(), L"Quorvanes", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing left to report with: the window still goes.
    }
    Destroy();
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->OnFailure(error.what());
    } catch (...) {
        self->OnFailure("Quorvanes met an unexpected failure.");
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

void CentreOver(HWND window, HWND owner) {
    RECT area{};
    if (owner == nullptr || !::GetWindowRect(owner, &area)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    ::GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qv::ui::win32
