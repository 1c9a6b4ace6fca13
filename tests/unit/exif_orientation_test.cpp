#include "imaging/exif_orientation.h"

#include <gtest/gtest.h>

#include <array>

#include "test_frames.h"
#include "test_jpegs.h"

namespace qv::imaging {
namespace {

using Bgr = std::array<std::uint8_t, 3>;
constexpr Bgr kA{10, 20, 30};
constexpr Bgr kB{40, 50, 60};
constexpr Bgr kC{70, 80, 90};
constexpr Bgr kD{100, 110, 120};

// A picture whose quadrants are A (top left), B (top right), C (bottom left), D.
Frame QuadrantFrame(int width, int height) {
    return testing::FrameOf(
        width, height,
        [&](int x, int y) {
            return y < height / 2 ? (x < width / 2 ? kA : kB) : (x < width / 2 ? kC : kD);
        },
        0xEE);
}

Bgr At(const Frame& frame, int x, int y) {
    const auto* p = frame.Pixel(x, y);
    return {p[0], p[1], p[2]};
}

TEST(ExifOrientation, EachOrientationTurnsTheQuadrantsUpright) {
    struct Case {
        Orientation orientation;
        std::array<Bgr, 4> upright;  // top left, top right, bottom left, bottom right
    };
    const Case cases[] = {
        {Orientation::Upright, {kA, kB, kC, kD}},
        {Orientation::MirrorHorizontal, {kB, kA, kD, kC}},
        {Orientation::Rotate180, {kD, kC, kB, kA}},
        {Orientation::MirrorVertical, {kC, kD, kA, kB}},
        {Orientation::Transpose, {kA, kC, kB, kD}},
        {Orientation::Rotate90, {kC, kA, kD, kB}},
        {Orientation::Transverse, {kD, kB, kC, kA}},
        {Orientation::Rotate270, {kB, kD, kA, kC}},
    };
    for (const auto& [orientation, upright] : cases) {
        SCOPED_TRACE(static_cast<int>(orientation));
        Frame frame = QuadrantFrame(6, 4);  // odd stride: 18 bytes padded to 20
        ApplyOrientation(frame, orientation);
        const bool swapped = SwapsSides(orientation);
        ASSERT_EQ(frame.width, swapped ? 4 : 6);
        ASSERT_EQ(frame.height, swapped ? 6 : 4);
        ASSERT_EQ(frame.stride, DibStride(frame.width));
        ASSERT_EQ(frame.pixels.size(), frame.stride * static_cast<std::size_t>(frame.height));
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const std::size_t quadrant =
                    (y < frame.height / 2 ? 0 : 2) + (x < frame.width / 2 ? 0 : 1);
                ASSERT_EQ(At(frame, x, y), upright[quadrant]) << x << "," << y;
            }
        }
    }
}

TEST(ExifOrientation, ReadInBothByteOrdersPastOtherSegmentsAndClearedInPlace) {
    const auto plain = qv::testing::MakeJpeg({.width = 16, .height = 8});
    EXPECT_EQ(ReadExifOrientation(plain), std::nullopt);
    auto untouched = plain;
    EXPECT_FALSE(ClearExifOrientation(untouched));
    EXPECT_EQ(untouched, plain);

    // An XMP packet shares the APP1 marker and comes first here; only the Exif one counts.
    const std::vector<std::uint8_t> xmp = {0xFF, 0xE1, 0, 9, 'h', 't', 't', 'p', ':', '/', '/'};
    for (const bool bigEndian : {false, true}) {
        for (std::uint16_t value = 1; value <= 8; ++value) {
            SCOPED_TRACE(::testing::Message() << value << (bigEndian ? " MM" : " II"));
            auto jpeg = qv::testing::WithSegment(
                qv::testing::WithSegment(plain, qv::testing::ExifSegment(value, bigEndian)), xmp);
            EXPECT_EQ(ReadExifOrientation(jpeg), static_cast<Orientation>(value));

            const auto before = jpeg;
            ASSERT_TRUE(ClearExifOrientation(jpeg));
            EXPECT_EQ(ReadExifOrientation(jpeg), Orientation::Upright);
            ASSERT_EQ(jpeg.size(), before.size());
            int changed = 0;
            for (std::size_t i = 0; i < jpeg.size(); ++i) {
                changed += jpeg[i] != before[i] ? 1 : 0;
            }
            EXPECT_LE(changed, 2);
            Frame frame;
            EXPECT_EQ(DecodeJpeg(jpeg, frame), DecodeStatus::Ok);
        }
    }
}

// Offsets in a JPEG that starts with ExifSegment(_, false): the segment's length at 4, the
// TIFF header at 12, the IFD offset at 16, the entry count at 20, the orientation entry at 34
// (type 36, count 38, value 42).
TEST(ExifOrientation, HostileOrTruncatedHeadersGiveNoOrientation) {
    const auto jpeg = qv::testing::WithSegment(qv::testing::MakeJpeg({.width = 8, .height = 8}),
                                               qv::testing::ExifSegment(6, false));
    ASSERT_EQ(ReadExifOrientation(jpeg), Orientation::Rotate90);
    const std::size_t segmentEnd = 2 + qv::testing::ExifSegment(6, false).size();

    // Every cut inside the segment: an exact-size copy, so an over-read is a sanitizer error.
    for (std::size_t cut = 0; cut < segmentEnd; ++cut) {
        std::vector<std::uint8_t> bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(cut));
        EXPECT_EQ(ReadExifOrientation(bytes), std::nullopt) << cut;
        EXPECT_FALSE(ClearExifOrientation(bytes)) << cut;
    }

    struct Patch {
        const char* what;
        std::size_t at;
        std::vector<std::uint8_t> bytes;
        std::optional<Orientation> expected = std::nullopt;
    };
    const Patch patches[] = {
        {"segment length 0", 4, {0, 0}},
        {"segment length 1", 4, {0, 1}},
        {"segment length past the end", 4, {0xFF, 0xFF}},
        {"segment too short for its IFD", 4, {0, 30}},
        {"no Exif signature", 6, {'E', 'x', 'i', 'g'}},
        {"unknown byte order", 12, {'I', 'M'}},
        {"not TIFF", 14, {43, 0}},
        {"IFD beyond the segment", 16, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"IFD at the last byte", 16, {47, 0, 0, 0}},
        // The entries within the segment are still read, none beyond it.
        {"entry count past the segment", 20, {0xFF, 0xFF}, Orientation::Rotate90},
        {"no orientation entry", 34, {0x13, 0x01}},
        {"orientation as a LONG", 36, {4, 0}},
        {"orientation with two values", 38, {2, 0, 0, 0}},
        {"orientation 0", 42, {0, 0}},
        {"orientation 9", 42, {9, 0}},
        {"orientation 0xFFFF", 42, {0xFF, 0xFF}},
        {"a marker without 0xFF", 2, {0x00}},
        {"a scan before any Exif", 2, {0xFF, 0xDA}},
    };
    for (const auto& patch : patches) {
        auto bytes = jpeg;
        std::copy(patch.bytes.begin(), patch.bytes.end(),
                  bytes.begin() + static_cast<long>(patch.at));
        EXPECT_EQ(ReadExifOrientation(bytes), patch.expected) << patch.what;
        auto cleared = bytes;
        ClearExifOrientation(cleared);  // writes at most the two bytes of a found value
        EXPECT_EQ(cleared.size(), bytes.size()) << patch.what;
    }
}

}  // namespace
}  // namespace qv::imaging
