// Decoded pictures made by the tests, pixel by pixel.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "imaging/jpeg_decoder.h"

namespace qv::testing {

// A frame of `width` x `height` whose pixel (x, y) is colourAt(x, y), a BGR triple; the
// bytes that pad each row to its stride are `padding`.
imaging::Frame FrameOf(int width, int height, auto colourAt, std::uint8_t padding = 0) {
    imaging::Frame frame;
    frame.width = width;
    frame.height = height;
    frame.stride = imaging::DibStride(width);
    frame.pixels.assign(frame.stride * static_cast<std::size_t>(height), padding);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::array<std::uint8_t, 3> c = colourAt(x, y);
            std::memcpy(const_cast<std::uint8_t*>(frame.Pixel(x, y)), c.data(), 3);
        }
    }
    return frame;
}

}  // namespace qv::testing
