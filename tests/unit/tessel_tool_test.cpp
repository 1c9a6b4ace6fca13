#include "tools/tessel/tessel_tool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "pe/pe_writer.h"
#include "test_jpegs.h"

namespace qv::tools {
namespace {

struct Run {
    int code;
    std::string out;
    std::string err;
};

Run Tool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunTesselTool(args, out, err);
    return {code, out.str(), err.str()};
}

class TesselTool : public ::testing::Test {
  protected:
    void SetUp() override {
        sunset = qv::testing::WriteTempFile("sunset.jpg",
                                            qv::testing::MakeJpeg({.width = 64, .height = 48}));
        dawn = qv::testing::WriteTempFile("Dawn.jpeg",
                                          qv::testing::MakeJpeg({.width = 32, .height = 16}));
        tsl = (std::filesystem::path(sunset).parent_path() / "tool test.tsl").string();
    }
    std::string sunset;
    std::string dawn;
    std::string tsl;
};

TEST_F(TesselTool, PackListExtractAndCheckRoundTrip) {
    const auto pack = Tool({"pack", tsl, sunset, dawn, "--link", "3=http://three.invalid/"});
    ASSERT_EQ(pack.code, 0) << pack.err;

    const auto list = Tool({"list", tsl});
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_NE(list.out.find("2 pictures"), std::string::npos) << list.out;
    EXPECT_LT(list.out.find("DAWN"), list.out.find("SUNSET_JPEG")) << "shown in name order";
    EXPECT_NE(list.out.find("3 (top)    http://three.invalid/"), std::string::npos) << list.out;

    const auto dir = std::filesystem::path(tsl).parent_path() / "extracted";
    std::filesystem::remove_all(dir);
    ASSERT_EQ(Tool({"extract", tsl, dir.string()}).code, 0);
    EXPECT_EQ(std::filesystem::file_size(dir / "SUNSET_JPEG.jpg"),
              std::filesystem::file_size(sunset));

    const auto check = Tool({"check", tsl});
    EXPECT_EQ(check.code, 0) << check.out;
    EXPECT_NE(check.out.find("SUNSET_JPEG: 64 x 48"), std::string::npos) << check.out;
}

TEST_F(TesselTool, MistakesAreReportedWithTheirExitCodes) {
    EXPECT_EQ(Tool({}).code, 2);
    EXPECT_EQ(Tool({"--help"}).code, 0);
    EXPECT_EQ(Tool({"frobnicate"}).code, 2);
    EXPECT_EQ(Tool({"pack", tsl, sunset, "--link", "9=x"}).code, 2);
    EXPECT_EQ(Tool({"pack", tsl, sunset, "--link"}).code, 2);
    EXPECT_EQ(Tool({"pack", tsl, sunset, sunset}).code, 2) << "two pictures of one name";
    const std::string text = qv::testing::WriteTempFile("notes.jpg", {'n', 'o'});
    const auto notJpeg = Tool({"pack", tsl, text});
    EXPECT_EQ(notJpeg.code, 1);
    EXPECT_NE(notJpeg.err.find("notes.jpg: not a JPEG picture"), std::string::npos);
    EXPECT_EQ(Tool({"list", text}).code, 1);
}

// What the tool says is what happened: the system's reason for a file it cannot open, a
// folder where a file belongs, a JPEG the decoder cannot show named for what it is.
TEST_F(TesselTool, MessagesNameWhatReallyWentWrong) {
    const std::string missing = "/no/such/file.tsl";
    const std::string noSuchFile =
        std::make_error_code(std::errc::no_such_file_or_directory).message();
    for (const char* command : {"list", "check"}) {
        const auto run = Tool({command, missing});
        EXPECT_EQ(run.code, 1) << command;
        EXPECT_EQ(run.err, "tessel: " + missing + ": cannot open: " + noSuchFile + "\n");
    }
    const auto noPicture = Tool({"pack", tsl, "/no/such/picture.jpg"});
    EXPECT_EQ(noPicture.code, 1);
    EXPECT_NE(noPicture.err.find("picture.jpg: cannot open: " + noSuchFile), std::string::npos);

    const std::string folder = std::filesystem::path(tsl).parent_path().string();
    for (const char* command : {"list", "check", "extract"}) {
        const auto run = command == std::string("extract") ? Tool({command, folder, folder + "/x"})
                                                           : Tool({command, folder});
        EXPECT_EQ(run.code, 1) << command;
        EXPECT_NE(run.err.find(folder + ": is a folder, not a file"), std::string::npos) << run.err;
    }
    const auto outputIsFolder = Tool({"pack", folder, sunset});
    EXPECT_EQ(outputIsFolder.code, 1);
    EXPECT_NE(outputIsFolder.err.find("cannot write " + folder + ": "), std::string::npos);

    const std::string twelveBit =
        qv::testing::WriteTempFile("twelve.jpg", qv::testing::MakeJpegHeader(12, 3));
    const auto pack12 = Tool({"pack", tsl, sunset, twelveBit});
    EXPECT_EQ(pack12.code, 1);
    EXPECT_NE(pack12.err.find("twelve.jpg: a JPEG of 12-bit samples"), std::string::npos)
        << pack12.err;

    // A Tessel made elsewhere may hold one anyway: check names it, and the rest still decode.
    pe::ResourceLibraryLayout layout;
    layout.rcdata.push_back({"DEEP_JPEG", qv::testing::MakeJpegHeader(12, 3)});
    layout.rcdata.push_back({"FINE_JPEG", qv::testing::MakeJpeg({})});
    const std::string mixed =
        qv::testing::WriteTempFile("mixed.tsl", pe::WriteResourceLibrary(layout));
    const auto check = Tool({"check", mixed});
    EXPECT_EQ(check.code, 1);
    EXPECT_NE(check.out.find("DEEP_JPEG: a JPEG of 12-bit samples"), std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("FINE_JPEG: 32 x 24"), std::string::npos) << check.out;
}

// pack takes a folder, as people expect: its .jpg and .jpeg files in name order, nothing
// else, with a progress line when there are many.
TEST_F(TesselTool, PackTakesAFolderOfPicturesAndReportsItsProgress) {
    const auto folder = std::filesystem::path(tsl).parent_path() / "many pictures";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "subfolder.jpg");
    const auto small = qv::testing::MakeJpeg({.width = 8, .height = 8});
    for (int i = 25; i >= 1; --i) {
        const std::string name =
            (i < 10 ? "p0" : "p") + std::to_string(i) + (i % 2 ? ".JPG" : ".jpeg");
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(small.data()),
                   static_cast<std::streamsize>(small.size()));
    }
    std::ofstream(folder / "notes.txt") << "not a picture";

    const auto pack = Tool({"pack", tsl, folder.string()});
    ASSERT_EQ(pack.code, 0) << pack.err;
    EXPECT_NE(pack.out.find(": 25 pictures"), std::string::npos) << pack.out;
    EXPECT_NE(pack.err.find("packing 20/25"), std::string::npos) << pack.err;
    EXPECT_NE(pack.err.find("packing 25/25"), std::string::npos) << pack.err;
    EXPECT_NE(pack.err.find("left out 1 file that is not a picture"), std::string::npos);
    const auto list = Tool({"list", tsl});
    EXPECT_NE(list.out.find("25 pictures"), std::string::npos) << list.out;
    EXPECT_LT(list.out.find("P01_JPEG"), list.out.find("P25_JPEG")) << list.out;

    EXPECT_EQ(Tool({"pack", tsl, sunset, dawn}).err, "") << "no progress line for a few pictures";
    const auto empty = Tool({"pack", tsl, (folder / "subfolder.jpg").string()});
    EXPECT_EQ(empty.code, 1);
    EXPECT_NE(empty.err.find("no pictures in the folder"), std::string::npos)
        << empty.err;
}

// Names come from the file, so extract treats them as hostile: nothing lands outside the
// target folder, no device is opened, and no picture overwrites another.
TEST_F(TesselTool, ExtractKeepsEveryPictureInsideItsFolderWhateverItsName) {
    const std::vector<std::string> names = {
        "..\\..\\ESCAPE_JPEG", "../../UP_JPEG", "/TMP/ABSOLUTE_JPEG", "C:\\ROOT_JPEG",
        "C:DRIVE_JPEG",        "NUL.JPEG",      "COM1.X_JPEG",        "CON .JPEG",
        "LPT9.JPEG",           "..JPEG",        "A/B_JPEG",           "A_B_JPEG",
        "STREAM:$DATA_JPEG"};
    pe::ResourceLibraryLayout layout;
    for (std::size_t i = 0; i < names.size(); ++i) {
        layout.rcdata.push_back({names[i], std::vector<std::uint8_t>(10 + i, 0xA5)});
    }
    const std::string hostile =
        qv::testing::WriteTempFile("hostile.tsl", pe::WriteResourceLibrary(layout));
    const auto sandbox = std::filesystem::path(tsl).parent_path() / "sandbox";
    std::filesystem::remove_all(sandbox);
    const auto target = sandbox / "deep" / "target";

    const auto run = Tool({"extract", hostile, target.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    std::set<std::uintmax_t> sizes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sandbox)) {
        if (entry.is_directory()) {
            EXPECT_TRUE(entry.path() == sandbox / "deep" || entry.path() == target) << entry.path();
            continue;
        }
        EXPECT_EQ(entry.path().parent_path(), target) << entry.path();
        const std::string file = entry.path().filename().string();
        EXPECT_EQ(file.find_first_of(":\\"), std::string::npos) << file;
        EXPECT_NE(file.front(), '.') << file;
        for (const char* device : {"NUL.", "COM1.", "CON", "LPT9."}) {
            EXPECT_NE(file.rfind(device, 0), 0u) << file << " opens a device on Windows";
        }
        sizes.insert(entry.file_size());
    }
    EXPECT_EQ(sizes.size(), names.size()) << "every picture written once, none overwritten\n"
                                          << run.out;
}

// A picture's size comes from the file too: one larger than the file holds is damaged, and
// every command says so instead of reporting or reading past the end.
TEST_F(TesselTool, APictureLargerThanTheFileHoldsIsReportedDamaged) {
    const std::string big = qv::testing::WriteTempFile(
        "zebra.jpg", qv::testing::MakeJpeg({.width = 256, .height = 256, .quality = 95}));
    ASSERT_EQ(Tool({"pack", tsl, dawn, big}).code, 0);
    ASSERT_GT(std::filesystem::file_size(big), 8192u);
    std::filesystem::resize_file(tsl, std::filesystem::file_size(tsl) - 4096);

    const auto list = Tool({"list", tsl});
    EXPECT_EQ(list.code, 1);
    EXPECT_NE(
        list.out.find("DAWN_JPEG  " + std::to_string(std::filesystem::file_size(dawn)) + " bytes"),
        std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("ZEBRA_JPEG  damaged: claims " +
                            std::to_string(std::filesystem::file_size(big))),
              std::string::npos)
        << list.out;
    const auto check = Tool({"check", tsl});
    EXPECT_EQ(check.code, 1);
    EXPECT_NE(check.out.find("ZEBRA_JPEG: damaged"), std::string::npos) << check.out;
    const auto dir = std::filesystem::path(tsl).parent_path() / "cut";
    std::filesystem::remove_all(dir);
    EXPECT_EQ(Tool({"extract", tsl, dir.string()}).code, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "DAWN_JPEG.jpg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "ZEBRA_JPEG.jpg"));
}

}  // namespace
}  // namespace qv::tools
