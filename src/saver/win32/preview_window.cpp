#include "saver/win32/preview_window.h"

#include "base/win32/unique_handle.h"
#include "saver/show_layout.h"
#include "ui/win32/font.h"
#include "ui/win32/mark.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/window.h"

namespace qv::saver::win32 {

namespace {

using winbase::ScopedSelect;
using winbase::UniqueGdiObject;
using winbase::UniqueHdc;

constexpr wchar_t kPreviewClass[] = L"QuorvanesPreview";
constexpr wchar_t kPreviewCaption[] = L"SaverPreview";
constexpr UINT_PTR kHostWatchTimer = 1;
constexpr UINT kHostWatchMs = 250;

constexpr COLORREF kGround = RGB(112, 0, 16);
constexpr COLORREF kTitle = RGB(255, 255, 255);
constexpr COLORREF kLine = RGB(255, 214, 196);

void DrawLine(HDC dc, const wchar_t* text, int height, bool bold, COLORREF colour, RECT box) {
    ui::win32::FontSpec wanted;
    wanted.face = L"Tahoma";
    wanted.pixels = height;
    wanted.bold = bold;
    wanted.picture = true;
    ui::win32::DrawTextLine(dc, text, wanted, colour, box, DT_CENTER);
}

// The preview's picture, drawn once: 152 x 112, 24 bits per pixel, bottom-up rows as a
// frame holds them.
imaging::Frame MakePreviewArt() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kPreviewArtWidth;
    info.bmiHeader.biHeight = kPreviewArtHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject art(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueHdc dc(::CreateCompatibleDC(nullptr));
    imaging::Frame frame;
    if (!art || !dc) {
        return frame;
    }
    const ScopedSelect useArt(dc.get(), art.get());
    RECT all{0, 0, kPreviewArtWidth, kPreviewArtHeight};
    UniqueGdiObject ground(::CreateSolidBrush(kGround));
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(ground.get()));
    ui::win32::DrawMark(dc.get(), {kPreviewArtWidth / 2, 34}, 22);
    DrawLine(dc.get(), L"Quorvanes", 17, true, kTitle, {0, 62, kPreviewArtWidth, 82});
    DrawLine(dc.get(), L"Click Settings below", 11, false, kLine, {0, 88, kPreviewArtWidth, 104});
    ::GdiFlush();
    frame.width = kPreviewArtWidth;
    frame.height = kPreviewArtHeight;
    frame.stride = imaging::DibStride(kPreviewArtWidth);
    const auto* first = static_cast<const std::uint8_t*>(bits);
    frame.pixels.assign(first, first + frame.stride * kPreviewArtHeight);
    return frame;
}

void Paint(HWND hwnd, const imaging::Frame& art) {
    const winbase::PaintDc paint(hwnd);
    if (art.width <= 0) {
        return;
    }
    RECT client{};
    ::GetClientRect(hwnd, &client);
    // Centred: at its own size a smaller host shows the middle part.
    const int left = (client.right - art.width) / 2;
    const int top = (client.bottom - art.height) / 2;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = art.width;
    info.bmiHeader.biHeight = art.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(paint.get(), left, top, static_cast<DWORD>(art.width),
                        static_cast<DWORD>(art.height), 0, 0, 0, static_cast<UINT>(art.height),
                        art.pixels.data(), &info, DIB_RGB_COLORS);
}

class PreviewWindow final : public ui::win32::Window {
  public:
    PreviewWindow(HWND host, config::PictureSize size) : host_(host), size_(size) {}
    ~PreviewWindow() override { Destroy(); }

    bool Create(HINSTANCE instance) {
        RECT bounds{};
        if (host_ == nullptr || !::GetWindowRect(host_, &bounds)) {
            bounds = {};
        }
        // Made once for the host's size; the host does not change its size.
        art_ = FitPicture(MakePreviewArt(),
                          {bounds.right - bounds.left, bounds.bottom - bounds.top}, size_);
        ui::win32::WindowClass windowClass;
        windowClass.name = kPreviewClass;
        windowClass.instance = instance;
        windowClass.background = ::GetSysColorBrush(COLOR_BACKGROUND);
        ui::win32::WindowPlacement placement;
        placement.title = kPreviewCaption;
        placement.style = host_ != nullptr ? WS_CHILD | WS_VISIBLE : WS_POPUP;
        placement.bounds = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
        placement.parent = host_;
        if (!Window::Create(windowClass, placement)) {
            return false;
        }
        // Without its watch the preview would outlive a host that goes some other way than
        // destroying its children: a preview that cannot watch does not run.
        if (::SetTimer(hwnd(), kHostWatchTimer, kHostWatchMs, nullptr) == 0) {
            Destroy();
            return false;
        }
        return true;
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_PAINT:
                Paint(hwnd(), art_);
                return 0;
            case WM_TIMER:
                // Destroying the host destroys this child too; the watch covers a host that
                // went some other way, and the host 0.
                if (wParam == kHostWatchTimer && !::IsWindow(host_)) {
                    Destroy();
                }
                return 0;
            case WM_DESTROY:
                ::PostQuitMessage(0);
                return 0;
            default:
                return DefaultHandling(message, wParam, lParam);
        }
    }

    HWND host_;
    config::PictureSize size_;
    imaging::Frame art_;
};

}  // namespace

int RunPreviewWindow(HINSTANCE instance, HWND host, config::PictureSize size) {
    PreviewWindow window(host, size);
    if (!window.Create(instance)) {
        return 1;
    }
    return ui::win32::RunMessageLoop() == ui::win32::kMessageLoopFailed ? 1 : 0;
}

}  // namespace qv::saver::win32
