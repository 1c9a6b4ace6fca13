// Reading what a JPEG holds before any pixel is decoded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace qv::imaging {

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 grayscale, 3 YCbCr/RGB, 4 CMYK/YCCK
};

// The header of a JPEG held in memory; nullopt when the data is not a readable JPEG.
// Never exits the process: libjpeg's errors come back as nullopt.
std::optional<JpegInfo> ReadJpegHeader(std::span<const std::uint8_t> data);

}  // namespace qv::imaging
