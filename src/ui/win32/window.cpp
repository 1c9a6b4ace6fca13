#include "ui/win32/window.h"

#include <exception>
#include <string>
#include <utility>

#include "base/win32/wide.h"

namespace qv::ui::win32 {

namespace {

// The class of a superclass: the system control's, with this kit's procedure and name.
bool RegisterSuperclass(const WindowClass& windowClass, WNDPROC procedure, WNDPROC& base) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, windowClass.superclassOf, &wc)) {
        return false;
    }
    base = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    wc.lpfnWndProc = procedure;
    wc.hInstance = windowClass.instance;
    wc.lpszClassName = windowClass.name;
    return ::RegisterClassExW(&wc) != 0;
}

bool RegisterOwnClass(const WindowClass& windowClass, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = windowClass.style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = windowClass.instance;
    wc.hIcon = windowClass.icon;
    wc.hCursor =
        windowClass.cursor != nullptr ? windowClass.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

Window::~Window() {
    if (hwnd_ != nullptr) {
        // The derived part is gone: its handlers must not run any more.
        gate_->Close();
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
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    const bool registered =
        ::GetClassInfoExW(windowClass.instance, windowClass.name, &existing) != FALSE;
    if (windowClass.superclassOf != nullptr) {
        // The system control's procedure, for this object, before its first message.
        WNDCLASSEXW base{};
        base.cbSize = sizeof(base);
        if (!::GetClassInfoExW(nullptr, windowClass.superclassOf, &base)) {
            return false;
        }
        superclassProcedure_ = base.lpfnWndProc;
        if (!registered && !RegisterSuperclass(windowClass, &Procedure, superclassProcedure_)) {
            return false;
        }
    } else if (!registered && !RegisterOwnClass(windowClass, &Procedure)) {
        return false;
    }
    const RECT& b = placement.bounds;
    const HWND created =
        ::CreateWindowExW(placement.exStyle, windowClass.name, placement.title, placement.style,
                          b.left, b.top, b.right - b.left, b.bottom - b.top, placement.parent,
                          placement.menuOrId, windowClass.instance, this);
    return created != nullptr;
}

Window* Window::FromHandle(HWND hwnd) noexcept {
    DWORD process = 0;
    if (hwnd == nullptr || ::GetWindowThreadProcessId(hwnd, &process) == 0 ||
        process != ::GetCurrentProcessId()) {
        return nullptr;
    }
    // The class's procedure, not the window's: a tooltip's subclass sits in front of ours.
    if (::GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&Procedure)) {
        return nullptr;
    }
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (superclassProcedure_ != nullptr) {
        return ::CallWindowProcW(superclassProcedure_, hwnd_, message, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::OnFailure(std::string_view what) noexcept {
    const HWND root = ::GetAncestor(hwnd_, GA_ROOT);
    if (Window* top = FromHandle(root); top != nullptr && top != this) {
        top->OnFailure(what);
        return;
    }
    try {
        const std::wstring text = winbase::Widen(what);
        ::MessageBoxW(hwnd_, text.c_str(), L"Quorvanes", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing left to report with: the window still goes.
    }
    Destroy();
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WindowThreadGate::kRunStep) {
        return gate_->RunPendingStep();
    }
    if (message == WM_DESTROY) {
        // Before the derived window tears down what its steps touch.
        gate_->Close();
    }
    return HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->gate_->Open(hwnd);
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->Dispatch(message, wParam, lParam);
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
