// The system's imaging component as the Tessel maker's reader, under Wine: pictures that
// only it decodes come out as the standard reader's do, upright BGR rows from the bottom.
#include "making/win32/system_picture_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "making/tessel_maker.h"
#include "pe/pe_library.h"
#include "test_jpegs.h"

namespace qv::making::win32 {
namespace {

using Rgb = std::array<std::uint8_t, 3>;
constexpr std::array<Rgb, 4> kQuadrants = {
    {{220, 30, 30}, {30, 200, 40}, {20, 40, 210}, {240, 240, 240}}};
constexpr int kWidth = 8;
constexpr int kHeight = 6;

// Which of the four colours pixel (x, y) has: red, green above blue, white.
std::size_t QuadrantAt(int x, int y) {
    return (y < kHeight / 2 ? 0u : 2u) + (x < kWidth / 2 ? 0u : 1u);
}

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A 24-bit bottom-up BMP of the quadrants.
std::vector<std::uint8_t> QuadrantBmp() {
    const unsigned stride = (kWidth * 3 + 3) & ~3u;
    std::vector<std::uint8_t> bmp = {'B', 'M'};
    Put32(bmp, 54 + stride * kHeight);
    Put32(bmp, 0);
    Put32(bmp, 54);
    Put32(bmp, 40);
    Put32(bmp, kWidth);
    Put32(bmp, kHeight);
    Put16(bmp, 1);
    Put16(bmp, 24);
    for (int i = 0; i < 6; ++i) {
        Put32(bmp, 0);
    }
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb& c = kQuadrants[QuadrantAt(x, y)];
            bmp.insert(bmp.end(), {c[2], c[1], c[0]});
        }
        bmp.resize(bmp.size() + stride - kWidth * 3, 0);
    }
    return bmp;
}

// A GIF of the quadrants with a four-colour palette. The LZW codes stay three bits wide:
// a clear code before every two pixels keeps the table from growing.
std::vector<std::uint8_t> QuadrantGif() {
    std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(gif, kWidth);
    Put16(gif, kHeight);
    gif.insert(gif.end(), {0x91, 0, 0});
    for (const Rgb& c : kQuadrants) {
        gif.insert(gif.end(), c.begin(), c.end());
    }
    gif.push_back(0x2C);
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, kWidth);
    Put16(gif, kHeight);
    gif.insert(gif.end(), {0, 2});
    std::vector<unsigned> codes;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        if (i % 2 == 0) {
            codes.push_back(4);
        }
        codes.push_back(static_cast<unsigned>(QuadrantAt(i % kWidth, i / kWidth)));
    }
    codes.push_back(5);
    std::vector<std::uint8_t> data;
    unsigned bits = 0;
    unsigned count = 0;
    for (const unsigned code : codes) {
        bits |= code << count;
        count += 3;
        for (; count >= 8; count -= 8, bits >>= 8) {
            data.push_back(static_cast<std::uint8_t>(bits));
        }
    }
    if (count > 0) {
        data.push_back(static_cast<std::uint8_t>(bits));
    }
    gif.push_back(static_cast<std::uint8_t>(data.size()));  // under 255: one block
    gif.insert(gif.end(), data.begin(), data.end());
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

void ExpectQuadrants(const imaging::Frame& frame) {
    ASSERT_EQ(frame.width, kWidth);
    ASSERT_EQ(frame.height, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb& c = kQuadrants[QuadrantAt(x, y)];
            const auto* p = frame.Pixel(x, y);
            EXPECT_EQ((Rgb{p[2], p[1], p[0]}), c) << x << "," << y;
        }
    }
}

TEST(SystemPictureReader, ReadsBmpAndGifAsTheStandardReaderReadsJpeg) {
    const auto bmp = qv::testing::WriteTempFile("quadrants.bmp", QuadrantBmp());
    const auto gif = qv::testing::WriteTempFile("four colours.GIF", QuadrantGif());
    const auto cut = QuadrantBmp();
    const auto damaged = qv::testing::WriteTempFile(
        "cut.bmp", std::vector<std::uint8_t>(cut.begin(), cut.begin() + 30));
    const auto jpeg = qv::testing::WriteTempFile("photo.jpg", qv::testing::MakeJpeg({}));
    auto reader = SystemPictureReader();
    EXPECT_TRUE(reader->Knows(bmp));
    EXPECT_TRUE(reader->Knows(gif));
    EXPECT_TRUE(reader->Knows("x.PNG"));
    EXPECT_FALSE(reader->Knows("notes.txt"));

    const auto readBmp = reader->Read(bmp, std::nullopt);
    ASSERT_TRUE(readBmp.ok) << readBmp.reason;
    ExpectQuadrants(readBmp.frame);
    const auto readGif = reader->Read(gif, std::nullopt);
    ASSERT_TRUE(readGif.ok) << readGif.reason;
    ExpectQuadrants(readGif.frame);
    const auto fitted = reader->Read(gif, FitBox{4, 4});
    ASSERT_TRUE(fitted.ok) << fitted.reason;
    EXPECT_EQ(fitted.frame.width, 4);
    EXPECT_EQ(fitted.frame.height, 3);

    // Through the engine on this thread, with the JPEG read by the standard reader.
    MakeRequest request;
    request.pictures = {bmp, gif, damaged, jpeg};
    request.target = (std::filesystem::path(bmp).parent_path() / "system reader.tsl").string();
    const auto result = MakeTessel(request, *reader, {});
    ASSERT_EQ(result.status, MakeStatus::Made) << result.reason;
    EXPECT_EQ(result.packed, 3u);
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].picture, damaged);
    EXPECT_FALSE(result.skipped[0].reason.empty());
    pe::PeError error = pe::PeError::NotMz;
    auto library = pe::PeResourceLibrary::Open(pe::FileSource::Open(request.target), error);
    ASSERT_TRUE(library);
    std::vector<std::string> names;
    for (const auto& entry : library->RcDataEntries()) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"FOUR COLOURS_JPEG", "PHOTO_JPEG", "QUADRANTS_JPEG"}));
}

}  // namespace
}  // namespace qv::making::win32
