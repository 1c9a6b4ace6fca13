// The resampler against pixman's separable convolution on the same pictures, in turns, and
// what decoding reduced saves a picture made ready for a monitor:
//   - 640 x 480 enlarged to 2880 x 2160 (a Tessel picture on a large monitor) and
//     4000 x 3000 reduced to 1440 x 1080 (a photograph fitted to full HD), Catmull-Rom both;
//   - the same in linear light (stb's sRGB mode), the cost of that choice;
//   - PrepareFrame of a 4000 x 3000 JPEG into 1920 x 1080 against a whole decode and resample;
//   - the show's fitted frame for a 2880 x 2160 monitor made from a 640 x 480 Tessel picture
//     against decoding a 2880 x 2160 JPEG of the same scene: the resample may cost no more
//     than a decode of the pixels it makes.
// Prints each median and the ratios with their goals; exits 1 when a goal is missed and
// --enforce is given.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <pixman.h>
// The resampler keeps its copy of stb to itself; the linear-light run has one of its own.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>

#include "bench_support.h"
#include "imaging/prepare_frame.h"
#include "imaging/resample.h"
#include "test_jpegs.h"

namespace {

using qv::bench::MedianMsInTurns;
using qv::imaging::Frame;

Frame Decoded(int width, int height) {
    Frame frame;
    qv::imaging::DecodeJpeg(
        qv::testing::MakeJpeg({.width = width, .height = height, .quality = 90, .smooth = true}),
        frame);
    return frame;
}

// pixman on its fast-path format (32-bit xRGB), the conversion from our 24-bit rows left
// out of its time: the comparison favours pixman.
class PixmanResize {
  public:
    PixmanResize(const Frame& source, int width, int height)
        : sourcePixels_(static_cast<std::size_t>(source.width) * source.height),
          targetPixels_(static_cast<std::size_t>(width) * height),
          width_(width),
          height_(height) {
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x) {
                const auto* p = source.Pixel(x, y);
                sourcePixels_[static_cast<std::size_t>(y) * source.width + x] =
                    0xFF000000u | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
            }
        }
        source_ = pixman_image_create_bits(PIXMAN_x8r8g8b8, source.width, source.height,
                                           sourcePixels_.data(), source.width * 4);
        target_ = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, targetPixels_.data(),
                                           width * 4);
        const double sx = static_cast<double>(source.width) / width;
        const double sy = static_cast<double>(source.height) / height;
        pixman_transform_t transform;
        pixman_transform_init_scale(&transform, pixman_double_to_fixed(sx),
                                    pixman_double_to_fixed(sy));
        pixman_image_set_transform(source_, &transform);
        pixman_image_set_repeat(source_, PIXMAN_REPEAT_PAD);
        // Enlarging: its cubic kernel reconstructs. Reducing: the cubic, widened by the scale,
        // samples (what stb does too).
        const bool reduce = sx > 1.0;
        int count = 0;
        pixman_fixed_t* parameters = pixman_filter_create_separable_convolution(
            &count, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy),
            reduce ? PIXMAN_KERNEL_IMPULSE : PIXMAN_KERNEL_CUBIC,
            reduce ? PIXMAN_KERNEL_IMPULSE : PIXMAN_KERNEL_CUBIC,
            reduce ? PIXMAN_KERNEL_CUBIC : PIXMAN_KERNEL_IMPULSE,
            reduce ? PIXMAN_KERNEL_CUBIC : PIXMAN_KERNEL_IMPULSE, 4, 4);
        pixman_image_set_filter(source_, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, parameters, count);
        std::free(parameters);
    }
    ~PixmanResize() {
        pixman_image_unref(source_);
        pixman_image_unref(target_);
    }
    PixmanResize(const PixmanResize&) = delete;
    PixmanResize& operator=(const PixmanResize&) = delete;

    void Run() {
        pixman_image_composite32(PIXMAN_OP_SRC, source_, nullptr, target_, 0, 0, 0, 0, 0, 0, width_,
                                 height_);
    }

  private:
    std::vector<std::uint32_t> sourcePixels_;
    std::vector<std::uint32_t> targetPixels_;
    int width_;
    int height_;
    pixman_image_t* source_ = nullptr;
    pixman_image_t* target_ = nullptr;
};

void LinearLightResize(const Frame& source, int width, int height, Frame& target) {
    target.width = width;
    target.height = height;
    target.stride = qv::imaging::DibStride(width);
    target.pixels.resize(target.stride * static_cast<std::size_t>(height));
    stbir_resize_uint8_generic(source.pixels.data(), source.width, source.height,
                               static_cast<int>(source.stride), target.pixels.data(), width, height,
                               static_cast<int>(target.stride), 3, STBIR_ALPHA_CHANNEL_NONE, 0,
                               STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_SRGB,
                               nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    qv::bench::Goals goals;
    const bool enforce = argc > 1 && std::strcmp(argv[1], "--enforce") == 0;
    struct Case {
        int fromWidth, fromHeight, toWidth, toHeight, runs;
    };
    for (const Case c : {Case{640, 480, 2880, 2160, 9}, Case{4000, 3000, 1440, 1080, 9}}) {
        const Frame source = Decoded(c.fromWidth, c.fromHeight);
        Frame ours;
        Frame linear;
        PixmanResize pixman(source, c.toWidth, c.toHeight);
        const auto [stbMs, pixmanMs] = MedianMsInTurns(
            c.runs, [&] { qv::imaging::Resample(source, c.toWidth, c.toHeight, ours); },
            [&] { pixman.Run(); });
        const auto [srgbMs, linearMs] = MedianMsInTurns(
            c.runs, [&] { qv::imaging::Resample(source, c.toWidth, c.toHeight, ours); },
            [&] { LinearLightResize(source, c.toWidth, c.toHeight, linear); });
        std::printf(
            "%d x %d -> %d x %d: stb %.1f ms, pixman %.1f ms; stb in linear light %.1f ms"
            " (sRGB %.1f ms)\n",
            c.fromWidth, c.fromHeight, c.toWidth, c.toHeight, stbMs, pixmanMs, linearMs, srgbMs);
        goals.Report("pixman / stb (the resampler's library)", pixmanMs / stbMs, 1.0, false);
        std::printf("  %-52s %6.3f\n", "linear light / sRGB values", linearMs / srgbMs);
    }

    const auto photo =
        qv::testing::MakeJpeg({.width = 4000, .height = 3000, .quality = 90, .smooth = true});
    qv::imaging::PreparedFrame prepared;
    Frame whole;
    Frame fitted;
    const auto [reducedMs, wholeMs] = MedianMsInTurns(
        7, [&] { prepared = qv::imaging::PrepareFrame(photo, 1920, 1080); },
        [&] {
            qv::imaging::DecodeJpeg(photo, whole);
            qv::imaging::Resample(whole, 1440, 1080, fitted);
        });
    std::printf(
        "4000 x 3000 JPEG into 1920 x 1080: PrepareFrame %.1f ms, whole decode and "
        "resample %.1f ms\n",
        reducedMs, wholeMs);
    goals.Report("PrepareFrame / whole decode and resample", reducedMs / wholeMs, 0.5);

    // The busy pattern, which costs the decoder what a detailed photograph does.
    const auto tessel = qv::testing::MakeJpeg({.width = 640, .height = 480, .quality = 90});
    const auto large = qv::testing::MakeJpeg({.width = 2880, .height = 2160, .quality = 90});
    Frame decodedLarge;
    const auto [fitMs, largeMs] = MedianMsInTurns(
        9, [&] { prepared = qv::imaging::PrepareFrame(tessel, 2880, 2160); },
        [&] { qv::imaging::DecodeJpeg(large, decodedLarge); });
    std::printf(
        "2880 x 2160 monitor: fitted frame from 640 x 480 %.1f ms, decoding 2880 x 2160 "
        "%.1f ms\n",
        fitMs, largeMs);
    goals.Report("fitted 2880 x 2160 from 640 x 480 / decoding 2880 x 2160", fitMs / largeMs, 1.0);
    return enforce && goals.missed() ? 1 : 0;
}
