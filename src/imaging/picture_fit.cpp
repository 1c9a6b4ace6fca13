#include "imaging/picture_fit.h"

#include <algorithm>
#include <cstdint>

namespace qv::imaging {

namespace {

// round(value * numerator / denominator) without overflow for any two 31-bit sides.
int ScaledSide(std::uint64_t value, std::uint64_t numerator, std::uint64_t denominator) {
    const std::uint64_t scaled = (2 * value * numerator + denominator) / (2 * denominator);
    return static_cast<int>(std::max<std::uint64_t>(scaled, 1));
}

}  // namespace

Placement FitInside(PictureSize source, PictureSize box, Enlarge enlarge) {
    if (source.width <= 0 || source.height <= 0 || box.width <= 0 || box.height <= 0) {
        return {};
    }
    PictureSize fitted;
    if (enlarge == Enlarge::Never && source.width <= box.width && source.height <= box.height) {
        fitted = source;
    } else if (std::int64_t{source.width} * box.height <= std::int64_t{source.height} * box.width) {
        // Relatively taller than the box: the height decides.
        fitted = {ScaledSide(static_cast<std::uint64_t>(source.width),
                             static_cast<std::uint64_t>(box.height),
                             static_cast<std::uint64_t>(source.height)),
                  box.height};
    } else {
        fitted = {box.width, ScaledSide(static_cast<std::uint64_t>(source.height),
                                        static_cast<std::uint64_t>(box.width),
                                        static_cast<std::uint64_t>(source.width))};
    }
    return {fitted, (box.width - fitted.width) / 2, (box.height - fitted.height) / 2};
}

}  // namespace qv::imaging
