// Decoding one JPEG, whole or reduced while it decodes, into a 24-bit, bottom-up buffer ready for a
// DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qv::imaging {

// Pixels as a BITMAPINFOHEADER with biHeight > 0 expects them: rows from the bottom up,
// blue-green-red, each row padded to a multiple of 4 bytes.
struct Frame {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    std::vector<std::uint8_t> pixels;

    [[nodiscard]] const std::uint8_t* Pixel(int x, int y) const {
        return pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride +
               static_cast<std::size_t>(x) * 3;
    }
};

inline std::size_t DibStride(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

struct DecodeLimits {
    // A small file can declare a huge picture: these caps are checked right after the
    // header, before any memory is taken for pixels.
    std::uint64_t maxPixels = 40'000'000;
    int maxDimension = 16384;
    // Each progressive scan is a full pass over the picture; hostile files carry thousands.
    int maxScans = 64;
};

enum class DecodeStatus {
    Ok,
    Truncated,  // the data ended early; what decoded is in the frame, the rest grey
    TooLarge,   // beyond the limits; the frame is unchanged
    Failed,     // not a decodable JPEG; the frame holds nothing to show
};

// libjpeg decodes at 1/2, 1/4 or 1/8 of the size in its inverse DCT, for much less work
// than decoding whole and shrinking. Each side becomes ceil(side / denominator).
enum class DctScale { Full = 1, Half = 2, Quarter = 4, Eighth = 8 };

// The largest reduction whose output is still at least `wanted` in both sides, so that
// what follows only ever shrinks by less than 2 (or enlarges).
[[nodiscard]] DctScale ChooseDctScale(int width, int height, int wantedWidth, int wantedHeight);

// Decodes into `frame`, reusing its buffer when the size is the same. The limits apply to
// the picture's own size, whatever the scale.
DecodeStatus DecodeJpeg(std::span<const std::uint8_t> data, Frame& frame,
                        const DecodeLimits& limits = {}, DctScale scale = DctScale::Full);

}  // namespace qv::imaging
