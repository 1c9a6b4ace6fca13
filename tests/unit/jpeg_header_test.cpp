#include "imaging/jpeg_header.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace qv::imaging {
namespace {

std::vector<std::uint8_t> EncodeGray(int width, int height) {
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &out, &size);
    encoder.image_width = static_cast<JDIMENSION>(width);
    encoder.image_height = static_cast<JDIMENSION>(height);
    encoder.input_components = 1;
    encoder.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&encoder);
    jpeg_start_compress(&encoder, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width), 128);
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&encoder, rows, 1);
    }
    jpeg_finish_compress(&encoder);
    std::vector<std::uint8_t> bytes(out, out + size);
    jpeg_destroy_compress(&encoder);
    std::free(out);
    return bytes;
}

TEST(JpegHeader, ReadsSizeAndComponents) {
    const auto bytes = EncodeGray(37, 11);
    const auto info = ReadJpegHeader(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 37);
    EXPECT_EQ(info->height, 11);
    EXPECT_EQ(info->components, 1);
}

TEST(JpegHeader, DataThatIsNoJpegComesBackEmptyInsteadOfEndingTheProcess) {
    const std::vector<std::uint8_t> text{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
    EXPECT_FALSE(ReadJpegHeader(text));
    EXPECT_FALSE(ReadJpegHeader({}));
    auto bytes = EncodeGray(8, 8);
    bytes.resize(20);  // cut inside the header
    EXPECT_FALSE(ReadJpegHeader(bytes));
}

}  // namespace
}  // namespace qv::imaging
