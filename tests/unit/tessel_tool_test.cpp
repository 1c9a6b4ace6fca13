#include "tools/tessel/tessel_tool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

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
    EXPECT_NE(notJpeg.err.find("is not a JPEG picture"), std::string::npos);
    EXPECT_EQ(Tool({"list", text}).code, 1);
    EXPECT_EQ(Tool({"check", "/no/such/file.tsl"}).code, 1);
}

}  // namespace
}  // namespace qv::tools
