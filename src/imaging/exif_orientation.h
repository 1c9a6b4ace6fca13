// The orientation a camera records in a JPEG's Exif data, and turning the pixels by it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "imaging/jpeg_decoder.h"

namespace qv::imaging {

// The values of the Exif orientation tag: how the stored rows must be turned to be upright.
enum class Orientation : std::uint8_t {
    Upright = 1,
    MirrorHorizontal = 2,
    Rotate180 = 3,
    MirrorVertical = 4,
    Transpose = 5,  // mirrored along the top-left to bottom-right diagonal
    Rotate90 = 6,   // clockwise
    Transverse = 7,
    Rotate270 = 8,  // clockwise, i.e. a quarter turn anticlockwise
};

// Whether the upright picture has its width and height swapped (5 to 8).
[[nodiscard]] constexpr bool SwapsSides(Orientation orientation) {
    return static_cast<int>(orientation) >= 5;
}

// The orientation tag of IFD0 in the first Exif APP1 segment, in either byte order.
// nullopt when there is none or the data is damaged, truncated or out of range: such a
// picture is shown as stored.
[[nodiscard]] std::optional<Orientation> ReadExifOrientation(std::span<const std::uint8_t> jpeg);

// Writes 1 (upright) into the orientation tag in place, once the pixels have been turned,
// so that no later reader turns the picture again. The bytes keep their length; false when
// there is no tag to clear.
bool ClearExifOrientation(std::span<std::uint8_t> jpeg);

// Turns the frame's pixels upright; for 5 to 8 the width and height are swapped.
void ApplyOrientation(Frame& frame, Orientation orientation);

}  // namespace qv::imaging
