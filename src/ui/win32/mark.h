// The program's mark, drawn with GDI wherever a picture of the product is made at run time
// (the preview, the project's banners).
#pragma once

#include <windows.h>

namespace qv::ui::win32 {

// Four vanes turning about `centre`, gold and light in turn, each `radius` long.
void DrawMark(HDC dc, POINT centre, int radius);

}  // namespace qv::ui::win32
