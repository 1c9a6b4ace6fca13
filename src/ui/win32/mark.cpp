#include "ui/win32/mark.h"

#include <array>

#include "base/win32/unique_handle.h"

namespace qv::ui::win32 {

namespace {

constexpr COLORREF kVaneLight = RGB(250, 226, 160);
constexpr COLORREF kVaneGold = RGB(230, 168, 40);

}  // namespace

void DrawMark(HDC dc, POINT centre, int radius) {
    using winbase::ScopedSelect;
    const std::array<POINT, 4> unit{{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};
    for (std::size_t k = 0; k < unit.size(); ++k) {
        const POINT a = unit[k];
        const POINT b = unit[(k + 1) % unit.size()];
        const std::array<POINT, 3> vane{
            {centre,
             {centre.x + radius * a.x, centre.y + radius * a.y},
             {centre.x + radius * (a.x + b.x), centre.y + radius * (a.y + b.y)}}};
        winbase::UniqueGdiObject brush(::CreateSolidBrush(k % 2 == 0 ? kVaneGold : kVaneLight));
        const winbase::ScopedSelect useBrush(dc, brush.get());
        const winbase::ScopedSelect usePen(dc, ::GetStockObject(NULL_PEN));
        ::Polygon(dc, vane.data(), static_cast<int>(vane.size()));
    }
}

}  // namespace qv::ui::win32
