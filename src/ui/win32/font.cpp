#include "ui/win32/font.h"

namespace qv::ui::win32 {

winbase::UniqueGdiObject MakeFont(const FontSpec& wanted, UINT dpi) {
    const int height = -::MulDiv(wanted.pixels, static_cast<int>(dpi), wanted.designDpi);
    return winbase::UniqueGdiObject(
        ::CreateFontW(height, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE,
                      wanted.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, wanted.picture ? ANTIALIASED_QUALITY : DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, wanted.face));
}

void DrawTextLine(HDC dc, const wchar_t* text, const FontSpec& wanted, COLORREF colour, RECT box,
                  UINT format) {
    const winbase::UniqueGdiObject font = MakeFont(wanted, static_cast<UINT>(wanted.designDpi));
    const winbase::ScopedSelect useFont(dc, font.get());
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, -1, &box, format | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace qv::ui::win32
