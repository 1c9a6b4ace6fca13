#include "settings/win32/tessel_tip.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "base/win32/dpi.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "settings/options.h"
#include "ui/win32/window_thread.h"

namespace qv::settings::win32 {

namespace {

constexpr int kPadding = 6;  // at 96 DPI, around and between the thumbnail and the text
constexpr int kMostTextWidth = 420;

std::wstring RowText(HWND list, int row) {
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The text's size in the list's font, wrapped at kMostTextWidth.
SIZE TextSize(HWND window, HFONT font, const std::wstring& text, UINT dpi) {
    winbase::WindowDc dc(window);
    winbase::ScopedSelect select(dc.get(), font);
    RECT rect{0, 0, winbase::Scaled(kMostTextWidth, dpi), 0};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {rect.right, rect.bottom};
}

}  // namespace

bool TesselTip::Made(HWND owner) {
    if (hwnd() != nullptr) {
        return true;
    }
    ui::win32::WindowClass windowClass;
    windowClass.name = kTesselTipClass;
    windowClass.instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    windowClass.style = CS_DROPSHADOW;
    windowClass.background = ::GetSysColorBrush(COLOR_INFOBK);
    ui::win32::WindowPlacement placement;
    placement.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    placement.style = WS_POPUP | WS_BORDER;
    placement.parent = owner;  // owned: it goes with the settings window
    return Create(windowClass, placement);
}

void TesselTip::Glance(HWND list, int row) {
    const std::string title = winbase::Narrow(RowText(list, row));
    const auto path = row < 0 || title == text::NoTessels
                          ? std::nullopt
                          : config::FindTessel(files_, folders_, title);
    if (!path || !Made(::GetParent(list))) {
        Hide();
        return;
    }
    const std::uint64_t ticket = ++asked_;
    list_ = list;
    RECT rect{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    row_ = rect;
    if (const auto known = read_.find(*path); known != read_.end()) {
        shown_ = known->second;
        Present(title, *known->second);
        return;
    }
    // Read on a worker; the answer is shown only if no other row was asked for meanwhile.
    ui::win32::StartDetachedWorker(
        [gate = Gate(), &files = files_, path = *path, title, ticket, this] {
            auto glance = std::make_shared<const TesselGlance>(GlanceAt(files, path));
            (void)gate->Post([this, glance, path, title, ticket] {
                read_[path] = glance;
                if (ticket == asked_) {
                    shown_ = glance;
                    Present(title, *glance);
                }
            });
        });
}

void TesselTip::Hide() {
    ++asked_;  // an answer still on its way is not shown
    if (hwnd() != nullptr) {
        ::ShowWindow(hwnd(), SW_HIDE);
    }
}

void TesselTip::Present(const std::string& title, const TesselGlance& glance) {
    text_ = winbase::Widen(GlanceText(title, glance));
    ::SetWindowTextW(hwnd(), text_.c_str());  // what a screen reader and the tests read
    const UINT dpi = winbase::DpiForWindow(list_);
    const int padding = winbase::Scaled(kPadding, dpi);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(list_, WM_GETFONT, 0, 0));
    const SIZE text = TextSize(hwnd(), font, text_, dpi);
    const int pictureWidth = glance.thumbnail ? glance.thumbnail->width : 0;
    const int pictureHeight = glance.thumbnail ? glance.thumbnail->height + padding : 0;
    const int width = std::max<int>(pictureWidth, text.cx) + 2 * padding + 2;
    const int height = pictureHeight + text.cy + 2 * padding + 2;
    // Beside the row, on the right of the list, kept on the row's monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromRect(&row_, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT listRect{};
    ::GetWindowRect(list_, &listRect);
    const RECT& work = monitor.rcWork;
    int left = listRect.right + padding;
    if (left + width > work.right) {
        left = std::max<int>(work.left, listRect.left - width - padding);
    }
    const int top =
        std::clamp<int>(row_.top, work.top, std::max<int>(work.top, work.bottom - height));
    ::SetWindowPos(hwnd(), HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_WINDOW, CHILDID_SELF);
}

void TesselTip::Paint() {
    winbase::PaintDc paint(hwnd());
    const UINT dpi = winbase::DpiForWindow(hwnd());
    const int padding = winbase::Scaled(kPadding, dpi);
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    int textTop = padding;
    if (shown_ && shown_->thumbnail) {
        const imaging::Frame& frame = *shown_->thumbnail;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = frame.width;
        info.bmiHeader.biHeight = frame.height;  // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        ::SetDIBitsToDevice(paint.get(), padding, padding, static_cast<DWORD>(frame.width),
                            static_cast<DWORD>(frame.height), 0, 0, 0,
                            static_cast<UINT>(frame.height), frame.pixels.data(), &info,
                            DIB_RGB_COLORS);
        textTop += frame.height + padding;
    }
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(list_, WM_GETFONT, 0, 0));
    winbase::ScopedSelect select(paint.get(), font);
    ::SetBkMode(paint.get(), TRANSPARENT);
    ::SetTextColor(paint.get(), ::GetSysColor(COLOR_INFOTEXT));
    RECT text{padding, textTop, client.right - padding, client.bottom - padding};
    ::DrawTextW(paint.get(), text_.c_str(), static_cast<int>(text_.size()), &text,
                DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT TesselTip::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // the mouse goes through to what lies beneath
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace qv::settings::win32
