#include "imaging/jpeg_header.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "imaging/jpeg_decoder.h"
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

TEST(JpegHeader, EachKindOfJpegTheDecoderCannotShowIsNamedAsSuch) {
    using qv::testing::MakeJpegHeader;
    // The hand-built header itself is sound: only the field under test makes it unsupported.
    EXPECT_EQ(CheckJpegHeader(MakeJpegHeader(8, 3, 0xC0)).verdict, JpegVerdict::Supported);

    const auto twelve = CheckJpegHeader(MakeJpegHeader(12, 3));
    EXPECT_EQ(twelve.verdict, JpegVerdict::UnsupportedPrecision);
    EXPECT_EQ(twelve.precision, 12);
    EXPECT_NE(Describe(twelve).find("12-bit"), std::string::npos) << Describe(twelve);
    EXPECT_EQ(CheckJpegHeader(MakeJpegHeader(16, 1)).precision, 16);
    Frame frame;
    EXPECT_EQ(DecodeJpeg(MakeJpegHeader(12, 3), frame), DecodeStatus::Failed);

    const auto twoComponents = CheckJpegHeader(MakeJpegHeader(8, 2, 0xC0));
    EXPECT_EQ(twoComponents.verdict, JpegVerdict::UnsupportedColourSpace);
    EXPECT_NE(Describe(twoComponents).find("colour space"), std::string::npos);
    EXPECT_TRUE(ReadJpegHeader(MakeJpegHeader(8, 2, 0xC0))) << "the header itself was read";

    EXPECT_EQ(CheckJpegHeader(MakeJpegHeader(8, 1, 0xC3)).verdict,
              JpegVerdict::UnsupportedProcess);  // lossless

    const std::vector<std::uint8_t> text{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
    EXPECT_EQ(CheckJpegHeader(text).verdict, JpegVerdict::NotJpeg);
    auto cut = EncodeGray(8, 8);
    cut.resize(20);
    EXPECT_EQ(CheckJpegHeader(cut).verdict, JpegVerdict::Damaged);
}

}  // namespace
}  // namespace qv::imaging
