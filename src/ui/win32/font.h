// The fonts of the programs' windows, made for a window's DPI.
#pragma once

#include <windows.h>

#include "winbase/unique_handle.h"

namespace qv::ui::win32 {

struct FontSpec {
    const wchar_t* face = L"Arial";
    int pixels = 12;     // the character height at `designDpi`
    int designDpi = 96;  // the density the window was laid out at
    bool bold = false;
    bool underline = false;
};

[[nodiscard]] winbase::UniqueGdiObject MakeFont(const FontSpec& spec, UINT dpi);

}  // namespace qv::ui::win32
