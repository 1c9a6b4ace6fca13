#include "imaging/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "test_jpegs.h"

namespace qv::imaging {
namespace {

using qv::testing::JpegKind;
using qv::testing::JpegOptions;
using qv::testing::MakeJpeg;

struct Bmp {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // bottom-up BGR rows padded to 4 bytes
};

// djpeg is the oracle: the same library's own tool, writing a 24-bit BMP.
// Grey pictures are asked for as RGB (djpeg would write a palette); CMYK ones it converts
// itself, and refuses -rgb for.
Bmp DecodeWithDjpeg(const std::vector<std::uint8_t>& jpeg, const std::string& name, bool forceRgb) {
    const std::string in = qv::testing::WriteTempFile(name + ".jpg", jpeg);
    const std::string out = in + ".bmp";
    const std::string command = std::string("djpeg ") + (forceRgb ? "-rgb " : "") +
                                "-bmp -outfile '" + out + "' '" + in + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream file(out, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(file), {});
    Bmp bmp;
    if (bytes.size() < 54) {
        ADD_FAILURE() << "djpeg wrote no BMP";
        return bmp;
    }
    auto le32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                          bytes[at + 3] << 24);
    };
    EXPECT_EQ(bytes[28], 24) << "24 bits per pixel";
    bmp.width = static_cast<int>(le32(18));
    bmp.height = static_cast<int>(le32(22));
    bmp.pixels.assign(bytes.begin() + le32(10), bytes.end());
    bmp.pixels.resize(DibStride(bmp.width) * static_cast<std::size_t>(bmp.height));
    return bmp;
}

void ExpectSameAsDjpeg(const JpegOptions& options, const std::string& name) {
    const auto jpeg = MakeJpeg(options);
    Frame frame;
    ASSERT_EQ(DecodeJpeg(jpeg, frame), DecodeStatus::Ok);
    const Bmp oracle = DecodeWithDjpeg(jpeg, name, options.kind != JpegKind::Cmyk);
    ASSERT_EQ(frame.width, oracle.width);
    ASSERT_EQ(frame.height, oracle.height);
    EXPECT_EQ(frame.stride, DibStride(options.width));
    EXPECT_TRUE(frame.pixels == oracle.pixels) << name << ": pixels differ from djpeg's";
}

TEST(JpegDecoding, ColourPicturesMatchDjpegAlsoAtOddWidths) {
    for (const int width : {1, 3, 37, 64, 641}) {
        ExpectSameAsDjpeg({.width = width, .height = 19}, "rgb" + std::to_string(width));
    }
}

TEST(JpegDecoding, ProgressiveGrayAndCmykMatchDjpeg) {
    ExpectSameAsDjpeg({.width = 45, .height = 33, .progressive = true}, "progressive");
    ExpectSameAsDjpeg({.width = 45, .height = 33, .kind = JpegKind::Gray}, "gray");
    ExpectSameAsDjpeg({.width = 45, .height = 33, .kind = JpegKind::Cmyk}, "cmyk");
}

TEST(JpegDecoding, SameSizePicturesReuseTheFrameBuffer) {
    Frame frame;
    ASSERT_EQ(DecodeJpeg(MakeJpeg({.width = 64, .height = 48}), frame), DecodeStatus::Ok);
    const auto* buffer = frame.pixels.data();
    ASSERT_EQ(DecodeJpeg(MakeJpeg({.width = 64, .height = 48, .quality = 40}), frame),
              DecodeStatus::Ok);
    EXPECT_EQ(frame.pixels.data(), buffer);
    ASSERT_EQ(DecodeJpeg(MakeJpeg({.width = 20, .height = 10}), frame), DecodeStatus::Ok);
    EXPECT_EQ(frame.width, 20);
    EXPECT_EQ(frame.pixels.size(), DibStride(20) * 10);
}

TEST(JpegDecoding, TruncatedPictureKeepsWhatDecoded) {
    const auto whole = MakeJpeg({.width = 64, .height = 64});
    Frame complete;
    ASSERT_EQ(DecodeJpeg(whole, complete), DecodeStatus::Ok);
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + whole.size() * 2 / 3);
    Frame frame;
    ASSERT_EQ(DecodeJpeg(cut, frame), DecodeStatus::Truncated);
    ASSERT_EQ(frame.height, 64);
    // The top rows (stored last) decoded before the data ran out.
    EXPECT_TRUE(std::equal(complete.Pixel(0, 0), complete.Pixel(0, 0) + 64 * 3, frame.Pixel(0, 0)));
}

TEST(JpegDecoding, DataThatIsNoJpegFails) {
    Frame frame;
    const std::vector<std::uint8_t> text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(DecodeJpeg(text, frame), DecodeStatus::Failed);
    EXPECT_EQ(DecodeJpeg({}, frame), DecodeStatus::Failed);
    auto header = MakeJpeg({});
    header.resize(100);
    EXPECT_EQ(DecodeJpeg(header, frame), DecodeStatus::Failed);
}

// Finds the frame header (SOF0 or SOF2) and rewrites the declared size.
void DeclareSize(std::vector<std::uint8_t>& jpeg, std::uint16_t width, std::uint16_t height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
    }
    FAIL() << "no frame header";
}

TEST(JpegDecoding, SmallFileDeclaringAHugePictureIsRefusedBeforeAnyPixelMemory) {
    auto jpeg = MakeJpeg({});
    DeclareSize(jpeg, 60000, 60000);
    Frame frame;
    EXPECT_EQ(DecodeJpeg(jpeg, frame), DecodeStatus::TooLarge);
    EXPECT_TRUE(frame.pixels.empty());
    DeclareSize(jpeg, 9000, 9000);
    EXPECT_EQ(DecodeJpeg(jpeg, frame), DecodeStatus::TooLarge) << "81 million pixels";
}

TEST(JpegDecoding, ProgressiveScansBeyondTheLimitAbandonTheDecode) {
    const auto jpeg = MakeJpeg({.width = 40, .height = 40, .progressive = true});
    Frame frame;
    EXPECT_EQ(DecodeJpeg(jpeg, frame, {.maxScans = 2}), DecodeStatus::Failed);
    EXPECT_EQ(DecodeJpeg(jpeg, frame), DecodeStatus::Ok);
}

}  // namespace
}  // namespace qv::imaging
