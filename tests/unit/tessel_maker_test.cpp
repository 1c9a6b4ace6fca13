#include "making/tessel_maker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "imaging/exif_orientation.h"
#include "making/standard_picture_reader.h"
#include "pe/pe_library.h"
#include "pe/pe_writer.h"
#include "saver/tessel.h"
#include "test_jpegs.h"
#include "test_pngs.h"

namespace qv::making {
namespace {

namespace fs = std::filesystem;
using Rgb = std::array<std::uint8_t, 3>;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::Pair;

constexpr Rgb kRed{220, 30, 30};
constexpr Rgb kGreen{30, 200, 40};
constexpr Rgb kBlue{20, 40, 210};
constexpr Rgb kWhite{240, 240, 240};

struct MadePicture {
    std::string name;
    std::vector<std::uint8_t> jpeg;
    imaging::Frame frame;
};

// The pictures of a Tessel in show order, decoded, and its links.
struct MadeTessel {
    std::vector<MadePicture> pictures;
    std::array<std::string, 8> links;
};

MadeTessel ReadBack(const std::string& path) {
    pe::PeError error = pe::PeError::NotMz;
    auto library = pe::PeResourceLibrary::Open(pe::FileSource::Open(path), error);
    if (!library) {
        ADD_FAILURE() << path << ": " << pe::Describe(error);
        return {};
    }
    MadeTessel made;
    const auto tessel = saver::ReadTessel(*library);
    for (std::size_t k = 0; k < 8; ++k) {
        made.links[k] = tessel.links[k];
    }
    for (const auto& entry : library->RcDataEntries()) {
        MadePicture picture{entry.name, *library->Data(entry), {}};
        EXPECT_EQ(imaging::DecodeJpeg(picture.jpeg, picture.frame), imaging::DecodeStatus::Ok)
            << entry.name;
        made.pictures.push_back(std::move(picture));
    }
    return made;
}

void ExpectColourNear(const imaging::Frame& frame, int x, int y, Rgb rgb, int within = 14) {
    const auto* p = frame.Pixel(x, y);
    EXPECT_NEAR(p[2], rgb[0], within) << x << "," << y;
    EXPECT_NEAR(p[1], rgb[1], within) << x << "," << y;
    EXPECT_NEAR(p[0], rgb[2], within) << x << "," << y;
}

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class TesselMaker : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "qv-maker-tests" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = (folder / "Made.tsl").string();
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return (folder / name).string();
    }
    MakeResult Make(std::vector<std::string> pictures, std::optional<FitBox> fit = std::nullopt,
                    const MakeProgress& progress = {}) {
        MakeRequest request;
        request.pictures = std::move(pictures);
        request.target = target;
        request.fit = fit;
        request.quality = 95;
        return MakeTessel(request, *reader, progress);
    }
    // Nothing of a make is left beside the target but the target itself.
    void ExpectOnlyInFolder(std::vector<std::string> names) {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(found, names);
    }
    fs::path folder;
    std::string target;
    std::unique_ptr<PictureReader> reader = StandardPictureReader();
};

// Stored landscape: red, green above blue, white. Each tag turns it another way; the Tessel
// holds it upright, at the upright size, with no tag left to turn it again.
TEST_F(TesselMaker, EachOrientationIsTurnedIntoThePixelsOnce) {
    const auto stored = qv::testing::MakeJpeg(
        {.width = 64, .height = 48, .quality = 95, .quadrants = {{kRed, kGreen, kBlue, kWhite}}});
    // The upright picture's top left, top right, bottom left, bottom right.
    const std::array<std::array<Rgb, 4>, 8> upright = {{
        {kRed, kGreen, kBlue, kWhite},
        {kGreen, kRed, kWhite, kBlue},
        {kWhite, kBlue, kGreen, kRed},
        {kBlue, kWhite, kRed, kGreen},
        {kRed, kBlue, kGreen, kWhite},
        {kBlue, kRed, kWhite, kGreen},
        {kWhite, kGreen, kBlue, kRed},
        {kGreen, kWhite, kRed, kBlue},
    }};
    std::vector<std::string> pictures;
    for (int o = 1; o <= 8; ++o) {
        pictures.push_back(Write(
            "o" + std::to_string(o) + ".jpg",
            qv::testing::WithSegment(
                stored, qv::testing::ExifSegment(static_cast<std::uint16_t>(o), o % 2 == 0))));
    }
    const auto result = Make(pictures);
    ASSERT_EQ(result.status, MakeStatus::Made) << result.reason;
    EXPECT_EQ(result.packed, 8u);
    const auto made = ReadBack(target);
    ASSERT_EQ(made.pictures.size(), 8u);
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("orientation " + std::to_string(o));
        const auto& picture = made.pictures[static_cast<std::size_t>(o - 1)];
        EXPECT_EQ(picture.name, "O" + std::to_string(o) + "_JPEG");
        EXPECT_EQ(imaging::ReadExifOrientation(picture.jpeg), std::nullopt);
        const int w = o >= 5 ? 48 : 64;
        const int h = o >= 5 ? 64 : 48;
        ASSERT_EQ(picture.frame.width, w);
        ASSERT_EQ(picture.frame.height, h);
        const auto& corners = upright[static_cast<std::size_t>(o - 1)];
        ExpectColourNear(picture.frame, w / 4, h / 4, corners[0]);
        ExpectColourNear(picture.frame, 3 * w / 4, h / 4, corners[1]);
        ExpectColourNear(picture.frame, w / 4, 3 * h / 4, corners[2]);
        ExpectColourNear(picture.frame, 3 * w / 4, 3 * h / 4, corners[3]);
    }
}

// Fitted inside the box with the aspect kept, never enlarged; a turned picture is fitted
// by its upright sides.
TEST_F(TesselMaker, PicturesAreFittedInsideTheBoxAndNeverEnlarged) {
    const auto turned = qv::testing::WithSegment(
        qv::testing::MakeJpeg({.width = 400, .height = 300}), qv::testing::ExifSegment(6, true));
    const std::vector<std::string> pictures = {
        Write("a landscape.jpg", qv::testing::MakeJpeg({.width = 400, .height = 300})),
        Write("b portrait.jpg", qv::testing::MakeJpeg({.width = 300, .height = 400})),
        Write("c square.png", qv::testing::MakePng({.width = 300, .height = 300})),
        Write("d small.jpg", qv::testing::MakeJpeg({.width = 50, .height = 40})),
        Write("e turned.jpg", turned),
        Write("f wide.jpg", qv::testing::MakeJpeg({.width = 1000, .height = 10})),
    };
    const auto result = Make(pictures, FitBox{200, 120});
    ASSERT_EQ(result.status, MakeStatus::Made) << result.reason;
    std::vector<std::pair<int, int>> sizes;
    for (const auto& picture : ReadBack(target).pictures) {
        sizes.emplace_back(picture.frame.width, picture.frame.height);
    }
    EXPECT_THAT(sizes, ElementsAre(Pair(160, 120), Pair(90, 120), Pair(120, 120), Pair(50, 40),
                                   Pair(90, 120), Pair(200, 2)));
}

// Every kind of PNG comes out as the colours it shows: transparency composited on black.
TEST_F(TesselMaker, PngsOfEveryKindAreReadAsTheyLook) {
    // Left half opaque red, right half white at half alpha (grey on black), bottom row
    // fully transparent green (black).
    const auto colourAt = [](int x, int y) -> std::array<std::uint8_t, 4> {
        if (y >= 24) {
            return {30, 200, 40, 0};
        }
        return x < 16 ? std::array<std::uint8_t, 4>{220, 30, 30, 255}
                      : std::array<std::uint8_t, 4>{240, 240, 240, 128};
    };
    const auto opaque = [](int x, int) -> std::array<std::uint8_t, 4> {
        return x < 16 ? std::array<std::uint8_t, 4>{220, 30, 30, 255}
                      : std::array<std::uint8_t, 4>{20, 40, 210, 255};
    };
    using qv::testing::PngKind;
    const std::vector<std::string> pictures = {
        Write("alpha.png", qv::testing::MakePng({32, 32, PngKind::Rgba8, false, colourAt})),
        Write("interlaced.png", qv::testing::MakePng({32, 32, PngKind::Rgba8, true, colourAt})),
        Write("palette.png", qv::testing::MakePng({32, 32, PngKind::Palette8, false, colourAt})),
        Write("deep.png", qv::testing::MakePng({32, 32, PngKind::Rgb16, false, opaque})),
        Write("grey.png", qv::testing::MakePng({32, 32, PngKind::Gray8, false, opaque})),
    };
    const auto result = Make(pictures);
    ASSERT_EQ(result.status, MakeStatus::Made) << result.reason;
    ASSERT_TRUE(result.skipped.empty()) << result.skipped[0].reason;
    const auto made = ReadBack(target);
    ASSERT_EQ(made.pictures.size(), 5u);
    // Show order: ALPHA, DEEP, GREY, INTERLACED, PALETTE.
    for (const std::size_t i : {0u, 3u, 4u}) {
        SCOPED_TRACE(made.pictures[i].name);
        ExpectColourNear(made.pictures[i].frame, 6, 10, kRed);
        ExpectColourNear(made.pictures[i].frame, 26, 10, {120, 120, 120});
        ExpectColourNear(made.pictures[i].frame, 16, 29, {0, 0, 0});
    }
    ExpectColourNear(made.pictures[1].frame, 6, 16, kRed);
    ExpectColourNear(made.pictures[1].frame, 26, 16, kBlue);
    ExpectColourNear(made.pictures[2].frame, 6, 16, {220, 220, 220});
    ExpectColourNear(made.pictures[2].frame, 26, 16, {20, 20, 20});
}

// What cannot be read is left out, each named with a reason a person understands; grey and
// CMYK JPEGs are read.
TEST_F(TesselMaker, UnreadablePicturesAreLeftOutWithTheirReasons) {
    auto huge = qv::testing::MakeJpeg({.width = 16, .height = 16});
    for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // the frame header: height, width
            huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = 0xFF;
            break;
        }
    }
    const auto whole = qv::testing::MakeJpeg({.width = 64, .height = 64});
    const auto png = qv::testing::MakePng({.width = 64, .height = 64});
    fs::create_directories(folder / "x.jpg");
    const std::vector<std::string> pictures = {
        Write("cmyk.jpg", qv::testing::MakeJpeg({.kind = qv::testing::JpegKind::Cmyk})),
        Write("cut.jpg",
              std::vector<std::uint8_t>(whole.begin(), whole.begin() + whole.size() / 2)),
        Write("cut.png", std::vector<std::uint8_t>(png.begin(), png.begin() + png.size() / 2)),
        Write("empty.jpg", {}),
        Write("grey.jpg", qv::testing::MakeJpeg({.kind = qv::testing::JpegKind::Gray})),
        Write("huge.jpg", huge),
        Write("huge.png", qv::testing::PngHeaderOnly(65535, 65535)),
        (folder / "missing.jpg").string(),  // the tests run as root, who can read anything
        Write("notes.png", {'n', 'o', 't', 'e', 's'}),
        (folder / "x.jpg").string(),
    };
    const auto result = Make(pictures);
    ASSERT_EQ(result.status, MakeStatus::Made) << result.reason;
    EXPECT_EQ(result.packed, 2u);
    auto reasonOf = [&result](const std::string& name) {
        for (const auto& skipped : result.skipped) {
            if (fs::path(skipped.picture).filename() == name) {
                return skipped.reason;
            }
        }
        return std::string("(not skipped)");
    };
    EXPECT_EQ(result.skipped.size(), 8u);
    EXPECT_THAT(reasonOf("cut.jpg"), HasSubstr("cut short"));
    EXPECT_THAT(reasonOf("cut.png"), HasSubstr("a damaged PNG picture"));
    EXPECT_EQ(reasonOf("empty.jpg"), "an empty file");
    EXPECT_THAT(reasonOf("huge.jpg"), HasSubstr("too large to make into a Tessel (65535 x 65535"));
    EXPECT_THAT(reasonOf("huge.png"), HasSubstr("too large to make into a Tessel (65535 x 65535"));
    EXPECT_THAT(reasonOf("missing.jpg"), HasSubstr("cannot open: "));
    EXPECT_EQ(reasonOf("notes.png"), "not a PNG picture");
    EXPECT_EQ(reasonOf("x.jpg"), "is a folder, not a file");
    const auto made = ReadBack(target);
    ASSERT_EQ(made.pictures.size(), 2u);
    EXPECT_EQ(made.pictures[0].name, "CMYK_JPEG");
    EXPECT_EQ(made.pictures[1].name, "GREY_JPEG");
}

// A make that does not end in a Tessel leaves what was there as it was, byte for byte, and
// nothing of its own beside it.
TEST_F(TesselMaker, AMakeThatDoesNotFinishLeavesTheOldTesselAsItWas) {
    std::vector<std::string> pictures;
    for (int i = 0; i < 6; ++i) {
        pictures.push_back(Write("p" + std::to_string(i) + ".jpg",
                                 qv::testing::MakeJpeg({.width = 40 + i, .height = 30})));
    }
    ASSERT_EQ(Make({pictures[0]}).status, MakeStatus::Made);
    const auto before = FileBytes(target);

    std::vector<std::size_t> seen;
    const auto cancelled = Make(pictures, std::nullopt, [&seen](std::size_t done, std::size_t all) {
        seen.push_back(done);
        EXPECT_EQ(all, 6u);
        return done < 3;
    });
    EXPECT_EQ(cancelled.status, MakeStatus::Cancelled);
    EXPECT_THAT(seen, ElementsAre(1u, 2u, 3u));
    EXPECT_EQ(FileBytes(target), before);

    const auto none = Make({Write("junk.jpg", {'j', 'u', 'n', 'k'})});
    EXPECT_EQ(none.status, MakeStatus::NoReadablePicture);
    ASSERT_EQ(none.skipped.size(), 1u);
    EXPECT_EQ(none.skipped[0].reason, "not a JPEG picture");
    EXPECT_EQ(FileBytes(target), before);

    MakeRequest request{.pictures = pictures, .target = target};
    request.links[2] = "file:///C:/Windows/system32/calc.exe";
    const auto bad = MakeTessel(request, *reader, {});
    EXPECT_EQ(bad.status, MakeStatus::BadLink);
    EXPECT_THAT(bad.reason, HasSubstr("link 3 is not a web address"));
    EXPECT_EQ(FileBytes(target), before);

    std::vector<std::string> names = {"Made.tsl", "junk.jpg"};
    for (int i = 0; i < 6; ++i) {
        names.push_back("p" + std::to_string(i) + ".jpg");
    }
    ExpectOnlyInFolder(names);

    request.target = (folder / "no such folder" / "x.tsl").string();
    request.links[2] = "https://example.org/three";
    const auto unwritable = MakeTessel(request, *reader, {});
    EXPECT_EQ(unwritable.status, MakeStatus::WriteFailed);
    EXPECT_THAT(unwritable.reason, HasSubstr("no such folder"));

    // And one that finishes replaces it, links and all.
    request.target = target;
    ASSERT_EQ(MakeTessel(request, *reader, {}).status, MakeStatus::Made);
    const auto made = ReadBack(target);
    EXPECT_EQ(made.pictures.size(), 6u);
    EXPECT_EQ(made.links[2], "https://example.org/three");
    ExpectOnlyInFolder(names);
}

// A folder gives the pictures the reader knows, in the order the Tessel will show them;
// two of one name both go in.
TEST_F(TesselMaker, AFolderGivesItsPicturesInShowOrder) {
    const auto jpeg = qv::testing::MakeJpeg({});
    for (const char* name : {"b.JPG", "_x.jpeg", "a.png", "a.jpg", "notes.txt", "C.jfif"}) {
        Write(name, std::string_view(name).ends_with(".png") ? qv::testing::MakePng({}) : jpeg);
    }
    fs::create_directories(folder / "d.jpg");
    std::vector<std::string> files;
    for (const auto& path : PicturesInFolder(folder.string(), *reader)) {
        files.push_back(fs::path(path).filename().string());
    }
    EXPECT_THAT(files, ElementsAre("a.jpg", "a.png", "b.JPG", "C.jfif", "_x.jpeg"));
    std::vector<std::string> paths;
    for (const auto& file : files) {
        paths.push_back((folder / file).string());
    }
    ASSERT_EQ(Make(paths).status, MakeStatus::Made);
    std::vector<std::string> names;
    for (const auto& picture : ReadBack(target).pictures) {
        names.push_back(picture.name);
    }
    EXPECT_THAT(names, ElementsAre("A_JPEG", "A~2_JPEG", "B_JPEG", "C_JPEG", "_X_JPEG"));
}

// The library written piece by piece is the library written at once.
TEST(ResourceLibraryStream, WritesTheSameBytesAsTheWholeLayout) {
    pe::ResourceLibraryLayout layout;
    layout.rcdata = {{"ZEBRA_JPEG", std::vector<std::uint8_t>(13, 0x5A)},
                     {"apple_JPEG", std::vector<std::uint8_t>(700, 0xA1)},
                     {"MIDDLE_JPEG", std::vector<std::uint8_t>(1, 0x4D)}};
    layout.strings = {{1, "https://one.example/"}, {8, "https://eight.example/"}};
    std::stringstream spool;
    pe::ResourceLibraryStream stream(spool);
    for (const auto& d : layout.rcdata) {
        ASSERT_TRUE(stream.AddRcData(d.name, d.bytes));
    }
    stream.SetStrings(layout.strings);
    std::ostringstream out;
    ASSERT_TRUE(stream.Finish(out));
    const std::string streamed = out.str();
    const auto whole = pe::WriteResourceLibrary(layout);
    EXPECT_EQ(std::vector<std::uint8_t>(streamed.begin(), streamed.end()), whole);
}

}  // namespace
}  // namespace qv::making
