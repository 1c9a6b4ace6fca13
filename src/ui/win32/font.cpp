#include "ui/win32/font.h"

namespace qv::ui::win32 {

winbase::UniqueGdiObject MakeFont(const FontSpec& spec, UINT dpi) {
    const int height = -::MulDiv(spec.pixels, static_cast<int>(dpi), spec.designDpi);
    return winbase::UniqueGdiObject(::CreateFontW(
        height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, spec.underline ? TRUE : FALSE,
        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        spec.picture ? ANTIALIASED_QUALITY : DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, spec.face));
}

void DrawTextLine(HDC dc, const wchar_t* text, const FontSpec& spec, COLORREF colour, RECT box,
                  UINT format) {
    const winbase::UniqueGdiObject font = MakeFont(spec, static_cast<UINT>(spec.designDpi));
    const winbase::ScopedSelect useFont(dc, font.get());
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, -1, &box, format | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace qv::ui::win32
