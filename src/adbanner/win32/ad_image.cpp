#include "adbanner/win32/ad_image.h"

#include <windowsx.h>

namespace qv::adbanner::win32 {

AdImage::AdImage(platform::Dialogs& dialogs) : dialogs_(dialogs) {}

AdImage::~AdImage() {
    Destroy();
    banner_.reset();   // _Shutdown while the library is still there
    library_.reset();  // then the library goes
}

std::unique_ptr<AdImage> MakeAdImage(platform::Dialogs& dialogs, HINSTANCE instance, HWND parent,
                                     int controlId, const AdImageProperties& properties) {
    auto banner = std::make_unique<AdImage>(dialogs);
    if (!banner->Create(instance, parent, controlId, properties)) {
        return nullptr;
    }
    return banner;
}

bool AdImage::Create(HINSTANCE instance, HWND parent, int controlId,
                     const AdImageProperties& properties) {
    library_ = std::make_unique<AdvertLibrary>();
    ReportBindFailure(*library_, dialogs_);
    banner_ = std::make_unique<AdBanner>(*library_, static_cast<AdSurface&>(*this));
    banner_->SetProgramID(properties.programId);
    banner_->SetSize(properties.size);
    banner_->SetOptions(properties.options);
    banner_->SetBandwidthThrottle(properties.bandwidthThrottle);
    banner_->SetMinimumAdDisplayTime(properties.minimumAdDisplayTime);
    banner_->SetAutoLoad(properties.autoLoad);
    banner_->OnClick = properties.onClick;
    banner_->OnNetworkRequest = properties.onNetworkRequest;
    banner_->OnAdCounted = properties.onAdCounted;

    ui::win32::WindowClass windowClass;
    windowClass.name = kAdImageClass;
    windowClass.instance = instance;
    windowClass.style = 0;  // no CS_DBLCLKS: a double click comes as two clicks
    windowClass.cursor = ::LoadCursorW(nullptr, IDC_HAND);
    ui::win32::WindowPlacement placement;
    placement.style = WS_CHILD | WS_VISIBLE;
    const Bounds& b = banner_->bounds();
    placement.bounds = {b.left, b.top, b.left + b.width, b.top + b.height};
    placement.parent = parent;
    placement.menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId));
    if (!Window::Create(windowClass, placement)) {
        return false;
    }
    window_.store(hwnd());
    banner_->Loaded();
    return true;
}

LRESULT AdImage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto click = click_.OnMessage(hwnd(), message, lParam);
    if (click == ui::win32::ClickTracker::Event::Clicked) {
        banner_->Click();
    }
    if (click != ui::win32::ClickTracker::Event::NotMine) {
        return 0;
    }
    switch (message) {
        case WM_WINDOWPOSCHANGING:
            HoldToFormat(*reinterpret_cast<WINDOWPOS*>(lParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // opaque: the buffer covers every pixel
        case WM_PAINT:
            Paint();
            return 0;
        case WM_NCDESTROY:
            window_.store(nullptr);
            break;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

void AdImage::HoldToFormat(WINDOWPOS& position) {
    if (placing_ || banner_ == nullptr) {
        return;
    }
    Bounds bounds = banner_->bounds();
    if ((position.flags & SWP_NOMOVE) == 0) {
        bounds.left = position.x;
        bounds.top = position.y;
    }
    if ((position.flags & SWP_NOSIZE) == 0) {
        bounds.width = position.cx;
        bounds.height = position.cy;
    }
    placing_ = true;  // the rules place the window: this very change carries it
    banner_->SetBounds(bounds);
    placing_ = false;
    if ((position.flags & SWP_NOSIZE) == 0) {
        position.cx = banner_->bounds().width;
        position.cy = banner_->bounds().height;
    }
}

void AdImage::Paint() {
    const winbase::PaintDc paint(hwnd());
    HDC dc = paint.get();
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const Extent extent{client.right, client.bottom};
    if (!bufferDc_ || extent != bufferExtent_) {
        bufferSelected_.reset();
        bufferDc_.reset();
        buffer_.reset(::CreateCompatibleBitmap(dc, extent.width, extent.height));
        bufferDc_.reset(::CreateCompatibleDC(dc));
        bufferExtent_ = extent;
        if (bufferDc_ && buffer_) {
            bufferSelected_.emplace(bufferDc_.get(), buffer_.get());
            // Blank until the library paints (it may be missing).
            ::FillRect(bufferDc_.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    if (bufferDc_ && buffer_) {
        banner_->PaintInto(reinterpret_cast<std::uintptr_t>(bufferDc_.get()));
        ::BitBlt(dc, 0, 0, extent.width, extent.height, bufferDc_.get(), 0, 0, SRCCOPY);
    }
}

void AdImage::Invalidate() {
    if (HWND window = window_.load(); window != nullptr) {
        ::InvalidateRect(window, nullptr, FALSE);
    }
}

void AdImage::RepaintNow() {
    if (hwnd() != nullptr) {
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void AdImage::Place(const Bounds& bounds) {
    if (hwnd() == nullptr || placing_) {
        return;
    }
    placing_ = true;
    ::SetWindowPos(hwnd(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    placing_ = false;
}

}  // namespace qv::adbanner::win32
