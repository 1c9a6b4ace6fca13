// Decoding one JPEG at full size into a 24-bit, bottom-up buffer ready for a DIB.
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

// Decodes into `frame`, reusing its buffer when the size is the same.
DecodeStatus DecodeJpeg(std::span<const std::uint8_t> data, Frame& frame,
                        const DecodeLimits& limits = {});

}  // namespace qv::imaging
