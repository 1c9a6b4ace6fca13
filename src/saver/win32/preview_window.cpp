#include "saver/win32/preview_window.h"

#include "base/win32/unique_handle.h"
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

// The preview's picture, drawn once: 152 x 112, 24 bits per pixel.
UniqueGdiObject MakePreviewArt() {
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
    if (!art || !dc) {
        return art;
    }
    const ScopedSelect useArt(dc.get(), art.get());
    RECT all{0, 0, kPreviewArtWidth, kPreviewArtHeight};
    UniqueGdiObject ground(::CreateSolidBrush(kGround));
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(ground.get()));
    ui::win32::DrawMark(dc.get(), {kPreviewArtWidth / 2, 34}, 22);
    DrawLine(dc.get(), L"Quorvanes", 17, true, kTitle, {0, 62, kPreviewArtWidth, 82});
    DrawLine(dc.get(), L"Click Settings below", 11, false, kLine, {0, 88, kPreviewArtWidth, 104});
    ::GdiFlush();
    return art;
}

void Paint(HWND hwnd, HGDIOBJ art) {
    const winbase::PaintDc paint(hwnd);
    HDC dc = paint.get();
    RECT client{};
    ::GetClientRect(hwnd, &client);
    UniqueHdc source(::CreateCompatibleDC(dc));
    if (source && art != nullptr) {
        const ScopedSelect useArt(source.get(), art);
        // Centred: a smaller host shows the middle part.
        const int left = (client.right - kPreviewArtWidth) / 2;
        const int top = (client.bottom - kPreviewArtHeight) / 2;
        ::BitBlt(dc, left, top, kPreviewArtWidth, kPreviewArtHeight, source.get(), 0, 0, SRCCOPY);
    }
}

class PreviewWindow final : public ui::win32::Window {
  public:
    explicit PreviewWindow(HWND host) : host_(host), art_(MakePreviewArt()) {}
    ~PreviewWindow() override { Destroy(); }

    bool Create(HINSTANCE instance) {
        RECT bounds{};
        if (host_ == nullptr || !::GetWindowRect(host_, &bounds)) {
            bounds = {};
        }
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
                Paint(hwnd(), art_.get());
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
    UniqueGdiObject art_;
};

}  // namespace

int RunPreviewWindow(HINSTANCE instance, HWND host) {
    PreviewWindow window(host);
    if (!window.Create(instance)) {
        return 1;
    }
    return ui::win32::RunMessageLoop() == ui::win32::kMessageLoopFailed ? 1 : 0;
}

}  // namespace qv::saver::win32
