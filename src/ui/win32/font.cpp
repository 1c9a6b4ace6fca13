#include "ui/win32/font.h"

namespace qv::ui::win32 {

winbase::UniqueGdiObject MakeFont(const FontSpec& spec, UINT dpi) {
    const int height = -::MulDiv(spec.pixels, static_cast<int>(dpi), spec.designDpi);
    return winbase::UniqueGdiObject(
        ::CreateFontW(height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE,
                      spec.underline ? TRUE : FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, spec.face));
}

}  // namespace qv::ui::win32
