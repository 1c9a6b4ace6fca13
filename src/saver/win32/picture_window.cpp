#include "saver/win32/picture_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <exception>

#include "config/messages.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_object.h"
#include "saver/show_timers.h"

namespace qv::saver::win32 {

namespace {

constexpr UINT_PTR kActivationTimer = 1;

void RegisterClasses(HINSTANCE instance, WNDPROC showProc, WNDPROC pictureProc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpfnWndProc = showProc;
    wc.lpszClassName = kShowWindowClass;
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = pictureProc;
    wc.lpszClassName = kPictureControlClass;
    ::RegisterClassExW(&wc);
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

}  // namespace

PictureWindow::PictureWindow(HINSTANCE instance, HWND owner) : instance_(instance) {
    RegisterClasses(instance, &ShowProc, &PictureProc);
    const ScreenSize screen = Screen();
    hwnd_ =
        ::CreateWindowExW(WS_EX_TOPMOST, kShowWindowClass, L"Quorvanes", WS_POPUP | WS_CLIPCHILDREN,
                          0, 0, screen.width, screen.height, owner, nullptr, instance, this);
    picture_ = ::CreateWindowExW(0, kPictureControlClass, L"", WS_CHILD, 0, 0, 0, 0, hwnd_, nullptr,
                                 instance, this);
    gate_ = std::make_shared<WindowThreadGate>(hwnd_);
    CreateTooltip();
}

PictureWindow::~PictureWindow() {
    Detach();
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

void PictureWindow::Detach() {
    gate_->Close();
    show_ = nullptr;
}

void PictureWindow::CreateTooltip() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                 nullptr, instance_, nullptr);
    if (tooltip_ == nullptr) {
        return;
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(picture_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
}

int PictureWindow::RunUntilClosed() {
    running_ = true;
    ::ShowWindow(hwnd_, SW_SHOW);
    ::ShowWindow(picture_, SW_SHOWNA);
    ::SetForegroundWindow(hwnd_);
    ::SetFocus(hwnd_);
    ::UpdateWindow(hwnd_);
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {  // WM_QUIT, or a loop that cannot go on
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

platform::WindowId PictureWindow::Id() const {
    return reinterpret_cast<platform::WindowId>(hwnd_);
}

ScreenSize PictureWindow::Screen() const {
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void PictureWindow::ShowPicture(const imaging::Frame& frame) {
    frame_ = &frame;
    ::SetWindowPos(picture_, nullptr, 0, 0, frame.width, frame.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RepaintPicture();
}

void PictureWindow::MovePicture(int left, int top) {
    ::SetWindowPos(picture_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PictureWindow::RepaintPicture() {
    ::InvalidateRect(picture_, nullptr, FALSE);
    ::UpdateWindow(picture_);
}

void PictureWindow::SetCursorShape(CursorShape shape) {
    cursor_ = shape;
    ApplyCursor();
}

void PictureWindow::ApplyCursor() const {
    ::SetCursor(::LoadCursorW(nullptr, cursor_ == CursorShape::Hand ? IDC_HAND : IDC_ARROW));
}

void PictureWindow::ShowCursor(bool show) {
    ::ShowCursor(show ? TRUE : FALSE);
}

void PictureWindow::SetPictureHint(std::optional<std::string_view> hint) {
    if (tooltip_ == nullptr || hint.has_value() == hintOn_) {
        return;
    }
    hintOn_ = hint.has_value();
    if (hint) {
        std::wstring text = platform::win32::Widen(*hint);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(picture_);
        tool.lpszText = text.data();
        ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SendMessageW(tooltip_, TTM_ACTIVATE, hintOn_ ? TRUE : FALSE, 0);
}

void PictureWindow::Close() {
    // Closed from inside an event of the show: the window goes once that event is over.
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void PictureWindow::StartActivationDelay(int ms) {
    ::SetTimer(hwnd_, kActivationTimer, static_cast<UINT>(ms), nullptr);
}

void PictureWindow::StartPictureTimer(int seconds) {
    PictureShow* show = show_;
    StartDetachedWorker([gate = gate_, seconds, show] {
        platform::win32::Win32Clock clock;
        RunPictureTimer(
            clock, seconds, [&gate](const std::function<void()>& step) { return gate->Run(step); },
            [show] { show->LoadNewPict(); });
    });
}

void PictureWindow::StartCountdown(int seconds) {
    PictureShow* show = show_;
    StartDetachedWorker([gate = gate_, suspended = show_->Suspended(), seconds, show] {
        platform::win32::Win32Clock clock;
        RunCountdown(
            clock, seconds, *suspended,
            [&gate](const std::function<void()>& step) { return gate->Run(step); },
            [show] { show->OnCountdownTimeout(); });
    });
}

void PictureWindow::PaintPicture() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(picture_, &paint);
    if (frame_ != nullptr && frame_->width > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = frame_->width;
        info.bmiHeader.biHeight = frame_->height;  // bottom-up rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        ::SetDIBitsToDevice(
            dc, 0, 0, static_cast<DWORD>(frame_->width), static_cast<DWORD>(frame_->height), 0, 0,
            0, static_cast<UINT>(frame_->height), frame_->pixels.data(), &info, DIB_RGB_COLORS);
    }
    ::EndPaint(picture_, &paint);
}

LRESULT CALLBACK PictureWindow::ShowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = platform::win32::WindowObject<PictureWindow>(hwnd, message, lParam);
    if (self != nullptr && message == WM_DESTROY) {
        self->OnDestroyed();
        return 0;
    }
    if (self == nullptr || self->show_ == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Guarded([&] { return self->OnShowMessage(message, wParam, lParam); });
}

LRESULT CALLBACK PictureWindow::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = platform::win32::WindowObject<PictureWindow>(hwnd, message, lParam);
    if (self != nullptr && message == WM_PAINT) {
        self->PaintPicture();
        return 0;
    }
    if (self == nullptr || self->show_ == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Guarded([&] { return self->OnPictureMessage(message, wParam, lParam); });
}

// Nothing may unwind into the system's dispatcher: a failure is reported and ends the show.
LRESULT PictureWindow::Guarded(const std::function<LRESULT()>& handle) {
    try {
        return handle();
    } catch (const std::exception& error) {
        Detach();
        ::MessageBoxA(hwnd_, error.what(), "Quorvanes", MB_OK);
        ::DestroyWindow(hwnd_);
        return 0;
    }
}

LRESULT PictureWindow::OnShowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WindowThreadGate::kRunStep:
            return gate_->RunSentStep(lParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                show_->OnActivate();
            }
            return 0;
        case WM_TIMER:
            if (wParam == kActivationTimer) {
                ::KillTimer(hwnd_, kActivationTimer);
                show_->OnActivationEnded();
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            show_->OnKeyDown();
            return 0;
        case WM_MOUSEMOVE:
            show_->OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_SETCURSOR:
            ApplyCursor();
            return TRUE;
        case WM_SYSCOMMAND:
            // The system must not start a screen saver over this one.
            if ((wParam & 0xFFF0) == SC_SCREENSAVE) {
                return 0;
            }
            break;
        case WM_CLOSE:
            if (show_->CloseAllowed()) {
                ::DestroyWindow(hwnd_);
            }
            return 0;  // a close the show did not ask for is refused
        default:
            if (IsButtonDown(message)) {
                show_->OnMouseDown();
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void PictureWindow::OnDestroyed() {
    PictureShow* show = show_;
    Detach();
    if (show != nullptr) {
        show->OnDestroy();
    }
    hwnd_ = nullptr;
    if (running_) {
        ::PostQuitMessage(0);
    }
}

LRESULT PictureWindow::OnPictureMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            show_->OnPictureMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_SETCURSOR:
            ApplyCursor();
            return TRUE;
        default:
            if (IsButtonDown(message)) {
                show_->OnPictureMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(picture_, message, wParam, lParam);
}

}  // namespace qv::saver::win32
