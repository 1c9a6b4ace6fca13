#include "imaging/jpeg_header.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "test_jpegs.h"

namespace qv::imaging {
namespace {

std::vector<std::uint8_t> EncodeGray(int width, int height) {
    return qv::testing::MakeJpeg(
        {.width = width, .height = height, .kind = qv::testing::JpegKind::Gray});
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
