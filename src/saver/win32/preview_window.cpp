#include "saver/win32/preview_window.h"

#include <array>

#include "platform/win32/unique_handle.h"
#include "platform/win32/window_object.h"

namespace qv::saver::win32 {

namespace {

using platform::win32::ScopedSelect;
using platform::win32::UniqueGdiObject;
using platform::win32::UniqueHdc;

constexpr wchar_t kPreviewClass[] = L"QuorvanesPreview";
constexpr wchar_t kPreviewCaption[] = L"SaverPreview";
constexpr UINT_PTR kHostWatchTimer = 1;
constexpr UINT kHostWatchMs = 250;

constexpr COLORREF kGround = RGB(112, 0, 16);
constexpr COLORREF kVaneLight = RGB(250, 226, 160);
constexpr COLORREF kVaneGold = RGB(230, 168, 40);
constexpr COLORREF kTitle = RGB(255, 255, 255);
constexpr COLORREF kLine = RGB(255, 214, 196);

struct PreviewState {
    HWND host = nullptr;
    UniqueGdiObject art;
};

// The program's mark: four vanes turning about one point.
void DrawVanes(HDC dc, POINT centre, int radius) {
    const std::array<POINT, 4> unit{{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};
    for (std::size_t k = 0; k < unit.size(); ++k) {
        const POINT a = unit[k];
        const POINT b = unit[(k + 1) % unit.size()];
        const std::array<POINT, 3> vane{
            {centre,
             {centre.x + radius * a.x, centre.y + radius * a.y},
             {centre.x + radius * (a.x + b.x), centre.y + radius * (a.y + b.y)}}};
        UniqueGdiObject brush(::CreateSolidBrush(k % 2 == 0 ? kVaneGold : kVaneLight));
        const ScopedSelect useBrush(dc, brush.get());
        const ScopedSelect usePen(dc, ::GetStockObject(NULL_PEN));
        ::Polygon(dc, vane.data(), static_cast<int>(vane.size()));
    }
}

void DrawLine(HDC dc, const wchar_t* text, int height, int weight, COLORREF colour, RECT box) {
    UniqueGdiObject font(::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    const ScopedSelect useFont(dc, font.get());
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, -1, &box, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
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
    DrawVanes(dc.get(), {kPreviewArtWidth / 2, 34}, 22);
    DrawLine(dc.get(), L"Quorvanes", 17, FW_BOLD, kTitle, {0, 62, kPreviewArtWidth, 82});
    DrawLine(dc.get(), L"Click Settings below", 11, FW_NORMAL, kLine,
             {0, 88, kPreviewArtWidth, 104});
    ::GdiFlush();
    return art;
}

void Paint(HWND hwnd, const PreviewState& state) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd, &paint);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    UniqueHdc source(::CreateCompatibleDC(dc));
    if (source && state.art) {
        const ScopedSelect useArt(source.get(), state.art.get());
        // Centred: a smaller host shows the middle part.
        const int left = (client.right - kPreviewArtWidth) / 2;
        const int top = (client.bottom - kPreviewArtHeight) / 2;
        ::BitBlt(dc, left, top, kPreviewArtWidth, kPreviewArtHeight, source.get(), 0, 0, SRCCOPY);
    }
    ::EndPaint(hwnd, &paint);
}

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* state = platform::win32::WindowObject<PreviewState>(hwnd, message, lParam);
    switch (message) {
        case WM_PAINT:
            if (state != nullptr) {
                Paint(hwnd, *state);
                return 0;
            }
            break;
        case WM_TIMER:
            // Destroying the host destroys this child too; the watch covers a host that
            // went some other way, and the host 0.
            if (wParam == kHostWatchTimer && state != nullptr && !::IsWindow(state->host)) {
                ::DestroyWindow(hwnd);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int RunPreviewWindow(HINSTANCE instance, HWND host) {
    PreviewState state{host, MakePreviewArt()};
    RECT bounds{};
    if (host == nullptr || !::GetWindowRect(host, &bounds)) {
        bounds = {};
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.lpfnWndProc = &PreviewProc;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BACKGROUND);
    wc.lpszClassName = kPreviewClass;
    ::RegisterClassExW(&wc);

    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const DWORD style = host != nullptr ? WS_CHILD | WS_VISIBLE : WS_POPUP;
    HWND window = ::CreateWindowExW(0, kPreviewClass, kPreviewCaption, style, 0, 0, width, height,
                                    host, nullptr, instance, &state);
    if (window == nullptr) {
        return 1;
    }
    ::SetTimer(window, kHostWatchTimer, kHostWatchMs, nullptr);
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::IsWindow(window)) {
        ::DestroyWindow(window);
    }
    return 0;
}

}  // namespace qv::saver::win32
