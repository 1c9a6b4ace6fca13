#include "imaging/prepare_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "imaging/exif_orientation.h"
#include "imaging/picture_fit.h"
#include "imaging/resample.h"
#include "test_frames.h"
#include "test_jpegs.h"

namespace qv::imaging {
namespace {

TEST(PictureFit, KeepsTheAspectRatioCentredAndEnlargesOnlyWhenAllowed) {
    struct Case {
        PictureSize source;
        PictureSize box;
        Enlarge enlarge;
        Placement expected;
    };
    const Case cases[] = {
        {{3000, 4000}, {1920, 1080}, Enlarge::Never, {{810, 1080}, 555, 0}},   // portrait
        {{4000, 3000}, {1920, 1080}, Enlarge::Never, {{1440, 1080}, 240, 0}},  // landscape
        {{4000, 1000}, {1920, 1080}, Enlarge::Never, {{1920, 480}, 0, 300}},   // panorama
        {{500, 500}, {1024, 768}, Enlarge::Allowed, {{768, 768}, 128, 0}},     // square
        {{640, 480}, {2880, 2160}, Enlarge::Allowed, {{2880, 2160}, 0, 0}},    // same ratio
        {{640, 480}, {2880, 2160}, Enlarge::Never, {{640, 480}, 1120, 840}},   // smaller
        {{640, 481}, {640, 480}, Enlarge::Never, {{639, 480}, 0, 0}},          // just larger
        {{1, 1}, {1920, 1080}, Enlarge::Allowed, {{1080, 1080}, 420, 0}},      // one pixel
        {{1, 1}, {1920, 1080}, Enlarge::Never, {{1, 1}, 959, 539}},
        {{1, 5000}, {1920, 1080}, Enlarge::Never, {{1, 1080}, 959, 0}},  // never below 1
        {{65535, 65535}, {65535, 65535}, Enlarge::Allowed, {{65535, 65535}, 0, 0}},
        {{65535, 65534}, {65535, 65535}, Enlarge::Allowed, {{65535, 65534}, 0, 0}},
        {{65535, 1}, {65535, 65535}, Enlarge::Allowed, {{65535, 1}, 0, 32767}},
        {{1, 1}, {65535, 65535}, Enlarge::Allowed, {{65535, 65535}, 0, 0}},
        {{65535, 65535}, {1, 1}, Enlarge::Never, {{1, 1}, 0, 0}},
        {{65535, 65535}, {3, 65535}, Enlarge::Never, {{3, 3}, 0, 32766}},
        {{0, 480}, {1920, 1080}, Enlarge::Allowed, {}},  // nothing to fit, or nowhere
        {{640, 480}, {1920, -1}, Enlarge::Allowed, {}},
    };
    for (const auto& c : cases) {
        const Placement p = FitInside(c.source, c.box, c.enlarge);
        EXPECT_EQ(p, c.expected) << c.source.width << "x" << c.source.height << " in "
                                 << c.box.width << "x" << c.box.height << ": " << p.size.width
                                 << "x" << p.size.height << " at " << p.x << "," << p.y;
    }
}

TEST(DctScaledDecoding, TakesTheLargestReductionStillAtLeastTheWantedSize) {
    EXPECT_EQ(ChooseDctScale(801, 601, 801, 601), DctScale::Full);
    EXPECT_EQ(ChooseDctScale(801, 601, 401, 301), DctScale::Half);
    EXPECT_EQ(ChooseDctScale(801, 601, 402, 10), DctScale::Full);
    EXPECT_EQ(ChooseDctScale(801, 601, 102, 76), DctScale::Quarter);
    EXPECT_EQ(ChooseDctScale(801, 601, 101, 76), DctScale::Eighth);  // 100.125 rounds up
    EXPECT_EQ(ChooseDctScale(801, 601, 2000, 2000), DctScale::Full);
    EXPECT_EQ(ChooseDctScale(2147483647, 2147483647, 268435456, 1), DctScale::Eighth);

    // libjpeg's reduced sizes are the ones chosen for; a flat colour stays that colour.
    const auto jpeg = qv::testing::SolidJpeg(801, 601, {200, 40, 90});
    for (const DctScale scale :
         {DctScale::Full, DctScale::Half, DctScale::Quarter, DctScale::Eighth}) {
        const int d = static_cast<int>(scale);
        Frame frame;
        ASSERT_EQ(DecodeJpeg(jpeg, frame, {}, scale), DecodeStatus::Ok);
        EXPECT_EQ(frame.width, (801 + d - 1) / d);
        EXPECT_EQ(frame.height, (601 + d - 1) / d);
        const auto* middle = frame.Pixel(frame.width / 2, frame.height / 2);
        EXPECT_NEAR(middle[2], 200, 3);
        EXPECT_NEAR(middle[1], 40, 3);
        EXPECT_NEAR(middle[0], 90, 3);
    }
    // The caps are the picture's own, however small it is decoded.
    Frame frame;
    EXPECT_EQ(DecodeJpeg(jpeg, frame, {.maxPixels = 400'000}, DctScale::Eighth),
              DecodeStatus::TooLarge);
}

// The smallest and largest sample of a channel over the whole frame.
std::pair<int, int> Range(const Frame& frame, int channel) {
    int low = 255;
    int high = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            low = std::min<int>(low, frame.Pixel(x, y)[channel]);
            high = std::max<int>(high, frame.Pixel(x, y)[channel]);
        }
    }
    return {low, high};
}

TEST(Resampling, FlatStaysFlatEdgesBarelyOvershootAndSizesAreExact) {
    const std::array<std::uint8_t, 3> colour{17, 128, 250};
    const Frame flat = testing::FrameOf(37, 23, [&](int, int) { return colour; });
    const std::pair<int, int> sizes[] = {{200, 111}, {9, 5}, {37, 23}, {1, 1}, {1, 300}};
    for (const auto& [w, h] : sizes) {
        Frame out;
        ASSERT_TRUE(Resample(flat, w, h, out));
        ASSERT_EQ(out.width, w);
        ASSERT_EQ(out.height, h);
        ASSERT_EQ(out.stride, DibStride(w));
        ASSERT_EQ(out.pixels.size(), out.stride * static_cast<std::size_t>(h));
        for (int c = 0; c < 3; ++c) {
            // No ringing or darkening at the borders: every pixel is the colour.
            EXPECT_EQ(Range(out, c), std::make_pair(int{colour[c]}, int{colour[c]}))
                << w << "x" << h << " channel " << c;
        }
    }

    // A hard edge from 40 to 200, enlarged and reduced: a Catmull-Rom step overshoots by
    // under a tenth of its height (12 of 160 measured); a filter with wider negative lobes,
    // or weights that do not add up to one, goes further.
    const Frame edge = testing::FrameOf(40, 30, [](int x, int) {
        const std::uint8_t v = x < 20 ? 40 : 200;
        return std::array<std::uint8_t, 3>{v, v, v};
    });
    for (const auto& [w, h] : {std::pair{180, 135}, std::pair{27, 19}, std::pair{41, 30}}) {
        Frame out;
        ASSERT_TRUE(Resample(edge, w, h, out));
        const auto [low, high] = Range(out, 1);
        EXPECT_GE(low, 40 - 16) << w;
        EXPECT_LE(high, 200 + 16) << w;
        EXPECT_EQ(out.Pixel(0, h / 2)[1], 40) << "far from the edge nothing moves";
        EXPECT_EQ(out.Pixel(w - 1, h / 2)[1], 200);
    }

    // One pixel to many, and many to one.
    const Frame dot = testing::FrameOf(1, 1, [](int, int) {
        return std::array<std::uint8_t, 3>{1, 2, 3};
    });
    Frame out;
    ASSERT_TRUE(Resample(dot, 5, 3, out));
    EXPECT_EQ(Range(out, 2), std::make_pair(3, 3));
    ASSERT_TRUE(Resample(edge, 1, 1, out));
    EXPECT_NEAR(out.Pixel(0, 0)[0], 120, 2);

    // Nothing to resample, or to nothing: refused, the target as it was.
    EXPECT_FALSE(Resample(Frame{}, 5, 5, out));
    EXPECT_FALSE(Resample(dot, 0, 5, out));
    EXPECT_EQ(out.width, 1);
    EXPECT_EQ(out.pixels.size(), 4u);
}

using Rgb = std::array<std::uint8_t, 3>;
constexpr Rgb kRed{220, 30, 30};
constexpr Rgb kGreen{30, 200, 40};
constexpr Rgb kBlue{20, 40, 210};
constexpr Rgb kWhite{240, 240, 240};

void ExpectColourNear(const Frame& frame, int x, int y, Rgb rgb) {
    const auto* p = frame.Pixel(x, y);
    EXPECT_NEAR(p[2], rgb[0], 12) << x << "," << y;
    EXPECT_NEAR(p[1], rgb[1], 12) << x << "," << y;
    EXPECT_NEAR(p[0], rgb[2], 12) << x << "," << y;
}

TEST(PreparingAFrame, TurnsFitsAndCentresAPhotoTakenOnItsSide) {
    // Stored as a landscape 640 x 480: red, green above blue, white; the camera was turned,
    // so upright it is a portrait with blue and red on top.
    const auto stored = qv::testing::MakeJpeg(
        {.width = 640, .height = 480, .quality = 95, .quadrants = {{kRed, kGreen, kBlue, kWhite}}});
    auto jpeg = qv::testing::WithSegment(stored, qv::testing::ExifSegment(6, true));

    const PreparedFrame shown = PrepareFrame(jpeg, 1920, 1080);
    ASSERT_EQ(shown.status, DecodeStatus::Ok);
    ASSERT_EQ(shown.frame.width, 810);
    ASSERT_EQ(shown.frame.height, 1080);
    EXPECT_EQ(shown.x, 555);
    EXPECT_EQ(shown.y, 0);
    ExpectColourNear(shown.frame, 200, 270, kBlue);
    ExpectColourNear(shown.frame, 600, 270, kRed);
    ExpectColourNear(shown.frame, 200, 800, kWhite);
    ExpectColourNear(shown.frame, 600, 800, kGreen);

    // The maker never enlarges; a box a quarter of the picture is met by a reduced decode.
    const PreparedFrame made = PrepareFrame(jpeg, 1920, 1080, {.enlarge = Enlarge::Never});
    ASSERT_EQ(made.status, DecodeStatus::Ok);
    EXPECT_EQ(made.frame.width, 480);
    EXPECT_EQ(made.frame.height, 640);
    EXPECT_EQ(made.x, 720);
    EXPECT_EQ(made.y, 220);
    const PreparedFrame small = PrepareFrame(jpeg, 120, 160, {.enlarge = Enlarge::Never});
    ASSERT_EQ(small.status, DecodeStatus::Ok);
    EXPECT_EQ(small.frame.width, 120);
    EXPECT_EQ(small.frame.height, 160);
    ExpectColourNear(small.frame, 30, 40, kBlue);

    // Once the tag is cleared, the picture is taken as stored: never turned twice.
    ASSERT_TRUE(ClearExifOrientation(jpeg));
    const PreparedFrame cleared = PrepareFrame(jpeg, 640, 480);
    ASSERT_EQ(cleared.status, DecodeStatus::Ok);
    EXPECT_EQ(cleared.frame.width, 640);
    ExpectColourNear(cleared.frame, 100, 100, kRed);

    // What does not decode gives nothing to show.
    const std::vector<std::uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE1, 0, 2, 0xFF, 0xD9};
    const PreparedFrame failed = PrepareFrame(junk, 1920, 1080);
    EXPECT_EQ(failed.status, DecodeStatus::Failed);
    EXPECT_EQ(failed.frame.width, 0);
    EXPECT_EQ(PrepareFrame(stored, 0, 1080).status, DecodeStatus::Failed);
}

}  // namespace
}  // namespace qv::imaging
