// The fonts of the programs' windows, made for a window's DPI. Every font takes the
// default character set, so that a title in a script its face lacks is drawn with the
// glyphs of a font the system links to it (font linking; under Wine, its own fallback to
// an installed font such as WenQuanYi Micro Hei).
#pragma once

#include <windows.h>

#include "base/win32/unique_handle.h"

namespace qv::ui::win32 {

struct FontSpec {
    const wchar_t* face = L"Arial";
    int pixels = 12;     // the character height at `designDpi`
    int designDpi = 96;  // the density the window was laid out at
    bool bold = false;
    bool underline = false;
    // Text drawn into a picture (the preview's, a banner): smoothed.
    bool picture = false;
};

[[nodiscard]] winbase::UniqueGdiObject MakeFont(const FontSpec& wanted, UINT dpi);

// One line of text drawn into a picture at its own pixel size: transparent, in `colour`,
// with the DrawText `format` given.
void DrawTextLine(HDC dc, const wchar_t* text, const FontSpec& wanted, COLORREF colour, RECT box,
                  UINT format);

}  // namespace qv::ui::win32
