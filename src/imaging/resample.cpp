#include "imaging/resample.h"

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>

namespace qv::imaging {

bool Resample(const Frame& source, int width, int height, Frame& target) {
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 ||
        source.pixels.size() < source.stride * static_cast<std::size_t>(source.height)) {
        return false;
    }
    const std::size_t stride = DibStride(width);
    std::vector<std::uint8_t> pixels;
    pixels.swap(target.pixels);
    pixels.resize(stride * static_cast<std::size_t>(height));
    // Bottom-up rows resample as top-down ones do: the filter treats both directions alike.
    // Catmull-Rom both ways: it interpolates (a pixel that lands on a source pixel keeps its
    // colour) and its small negative lobe sharpens without the rings of Lanczos.
    const int done = stbir_resize_uint8_generic(
        source.pixels.data(), source.width, source.height, static_cast<int>(source.stride),
        pixels.data(), width, height, static_cast<int>(stride), 3, STBIR_ALPHA_CHANNEL_NONE, 0,
        STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr);
    if (done == 0) {
        pixels.swap(target.pixels);
        return false;
    }
    target.width = width;
    target.height = height;
    target.stride = stride;
    target.pixels = std::move(pixels);
    return true;
}

}  // namespace qv::imaging
