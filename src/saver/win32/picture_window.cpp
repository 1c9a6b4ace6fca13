#include "saver/win32/picture_window.h"

#include "saver/win32/start_trace.h"

#include <windowsx.h>

#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "ui/win32/message_loop.h"

namespace qv::saver::win32 {

namespace {

constexpr UINT_PTR kActivationTimer = 1;
constexpr UINT_PTR kFadeTimer = 2;

using ui::win32::WindowClass;
using ui::win32::WindowPlacement;

WindowClass BlackClass(const wchar_t* name, HINSTANCE instance) {
    WindowClass windowClass;
    windowClass.name = name;
    windowClass.instance = instance;
    windowClass.background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    return windowClass;
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

RECT RectOf(const ScreenRect& area) {
    return {area.left, area.top, area.right, area.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM screens) {
    reinterpret_cast<Screens*>(screens)->monitors.push_back(
        {rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

}  // namespace

PictureWindow::PictureWindow(HINSTANCE instance, HWND owner, platform::Dialogs& system)
    : instance_(instance), dialogs_(system, *this) {
    const ScreenRect area = CurrentScreens().virtualScreen;
    WindowPlacement placement;
    placement.exStyle = WS_EX_TOPMOST;
    placement.title = L"Quorvanes";
    placement.style = WS_POPUP | WS_CLIPCHILDREN;
    placement.bounds = RectOf(area);
    placement.parent = owner;
    if (Create(BlackClass(kShowWindowClass, instance), placement)) {
        (void)AddPicture();  // Created() tells
        dialogPlacement_.Start(hwnd());
    }
}

PictureWindow::~PictureWindow() {
    Detach();
    dialogPlacement_.Stop();
    Destroy();
}

bool PictureWindow::PictureControl::Create(HINSTANCE instance, HWND parent) {
    WindowPlacement placement;
    placement.style = WS_CHILD;
    placement.parent = parent;
    return Window::Create(BlackClass(kPictureControlClass, instance), placement);
}

// One more picture control, for one more monitor; shown at once when the show runs.
bool PictureWindow::AddPicture() {
    auto control = std::make_unique<PictureControl>(*this, pictures_.size());
    if (!control->Create(instance_, hwnd())) {
        return false;
    }
    if (tooltip_ != nullptr) {
        AddTip(control->Handle());
    }
    if (running_) {
        ::ShowWindow(control->Handle(), SW_SHOWNA);
    }
    pictures_.push_back(std::move(control));
    return true;
}

void PictureWindow::Detach() {
    Gate()->Close();
    show_ = nullptr;
}

int PictureWindow::RunUntilClosed() {
    running_ = true;
    ::ShowWindow(hwnd(), SW_SHOW);
    MarkStart("window-shown");
    for (const auto& picture : pictures_) {
        ::ShowWindow(picture->Handle(), SW_SHOWNA);
    }
    ::SetForegroundWindow(hwnd());
    ::SetFocus(hwnd());
    ::UpdateWindow(hwnd());
    MarkStart("window-painted");
    (void)ui::win32::RunMessageLoop();
    return 0;
}

platform::WindowId PictureWindow::Id() const {
    return reinterpret_cast<platform::WindowId>(hwnd());
}

Screens PictureWindow::CurrentScreens() const {
    // The primary monitor's top-left corner is the origin of the virtual screen's coordinates.
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    Screens screens;
    screens.virtualScreen = {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    screens.primary = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&screens));
    if (screens.virtualScreen.Width() <= 0 || screens.virtualScreen.Height() <= 0) {
        screens.virtualScreen = screens.primary;
    }
    return screens;
}

void PictureWindow::Cover(const ScreenRect& area) {
    ::SetWindowPos(hwnd(), HWND_TOPMOST, area.left, area.top, area.Width(), area.Height(),
                   SWP_NOACTIVATE);
}

void PictureWindow::ShowPictures(const std::vector<MonitorFrame>& frames) {
    MarkStart("picture-handed");
    while (pictures_.size() < frames.size() && AddPicture()) {
    }
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        pictures_[i]->Place(i < frames.size() ? &frames[i] : nullptr);
    }
    RepaintPicture();
}

// The control's region is its part on its monitor: outside it the frame is neither painted
// nor hit, so a click there is one on the black area.
void PictureWindow::PictureControl::Place(const MonitorFrame* shown) {
    frame_ = shown != nullptr ? shown->frame : nullptr;
    if (frame_ == nullptr) {
        ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const RECT place{shown->left, shown->top, shown->left + frame_->width,
                     shown->top + frame_->height};
    ::SetWindowPos(hwnd(), nullptr, place.left, place.top, frame_->width, frame_->height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT visible = RectOf(shown->visible);
    RECT cut{};
    if (!::IntersectRect(&cut, &place, &visible)) {
        cut = {};
    }
    ::OffsetRect(&cut, -place.left, -place.top);
    winbase::UniqueGdiObject region(::CreateRectRgnIndirect(&cut));
    if (region && ::SetWindowRgn(hwnd(), static_cast<HRGN>(region.get()), TRUE) != 0) {
        (void)region.release();  // the window owns it now
    }
}

void PictureWindow::RepaintPicture() {
    for (const auto& picture : pictures_) {
        picture->Repaint();
    }
}

void PictureWindow::PictureControl::Repaint() {
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    ::UpdateWindow(hwnd());
}

// A window timer, only while a crossfade runs.
void PictureWindow::StartFadeTimer(int ms) {
    ::SetTimer(hwnd(), kFadeTimer, static_cast<UINT>(ms), nullptr);
}

void PictureWindow::StopFadeTimer() {
    ::KillTimer(hwnd(), kFadeTimer);
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

void PictureWindow::Close() {
    // Closed from inside an event of the show: the window goes once that event is over.
    ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void PictureWindow::StartActivationDelay(int ms) {
    ::SetTimer(hwnd(), kActivationTimer, static_cast<UINT>(ms), nullptr);
}

void PictureWindow::PictureControl::Paint() {
    const winbase::PaintDc paint(hwnd());
    HDC dc = paint.get();
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
        MarkStart("picture-painted");
    }
}

LRESULT PictureWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        OnDestroyed();
        return 0;
    }
    if (show_ == nullptr) {
        return DefaultHandling(message, wParam, lParam);
    }
    return OnShowMessage(message, wParam, lParam);
}

LRESULT PictureWindow::PictureControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        Paint();
        return 0;
    }
    if (show_.show_ == nullptr) {
        return DefaultHandling(message, wParam, lParam);
    }
    if (const std::optional<LRESULT> handled = show_.OnPictureMessage(message, lParam, slot_)) {
        return *handled;
    }
    return DefaultHandling(message, wParam, lParam);
}

// A failure is reported and ends the show.
void PictureWindow::OnFailure(std::string_view what) noexcept {
    Detach();
    Window::OnFailure(what);
}

LRESULT PictureWindow::OnShowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                show_->OnActivate();
            }
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
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
        case WM_DISPLAYCHANGE:
            show_->OnDisplayChanged();
            return 0;
        case WM_SYSCOMMAND:
            // The system must not start a screen saver over this one.
            if ((wParam & 0xFFF0) == SC_SCREENSAVE) {
                return 0;
            }
            break;
        case WM_CLOSE:
            if (show_->CloseAllowed()) {
                Destroy();
            }
            return 0;  // a close the show did not ask for is refused
        default:
            if (IsButtonDown(message)) {
                show_->OnMouseDown();
                return 0;
            }
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

void PictureWindow::OnTimer(WPARAM id) {
    if (id == kActivationTimer) {
        ::KillTimer(hwnd(), kActivationTimer);
        show_->OnActivationEnded();
    } else if (id == kFadeTimer) {
        show_->OnFadeStep();
    }
}

void PictureWindow::OnDestroyed() {
    PictureShow* show = show_;
    Detach();
    if (show != nullptr) {
        show->OnDestroy();
    }
    if (running_) {
        ::PostQuitMessage(0);
    }
}

std::optional<LRESULT> PictureWindow::OnPictureMessage(UINT message, LPARAM lParam,
                                                       std::size_t slot) {
    switch (message) {
        case WM_MOUSEMOVE:
            show_->OnPictureMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), slot);
            return 0;
        case WM_SETCURSOR:
            ApplyCursor();
            return TRUE;
        default:
            if (IsButtonDown(message)) {
                show_->OnPictureMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), slot);
                return 0;
            }
            return std::nullopt;
    }
}

}  // namespace qv::saver::win32
