// PNG pictures made in the test with libpng itself, of every colour type the maker reads.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace qv::testing {

enum class PngKind {
    Rgba8,     // 8-bit red, green, blue and alpha
    Rgb16,     // 16-bit red, green and blue
    Gray8,     // 8-bit grey (the red sample taken)
    Palette8,  // a palette of the picture's colours, with their alpha as tRNS
};

struct PngOptions {
    int width = 16;
    int height = 12;
    PngKind kind = PngKind::Rgba8;
    bool interlaced = false;
    // The colour of each pixel as red, green, blue, alpha in 8 bits; opaque black-to-red
    // and green gradients by default.
    std::function<std::array<std::uint8_t, 4>(int x, int y)> colourAt = {};
};

std::vector<std::uint8_t> MakePng(const PngOptions& options);

// The first bytes of a PNG whose header declares `width` x `height` (its CRC right), with
// no picture data after it.
std::vector<std::uint8_t> PngHeaderOnly(std::uint32_t width, std::uint32_t height);

}  // namespace qv::testing
