#include "saver/command_line.h"

#include <gtest/gtest.h>

namespace qv::saver {
namespace {

TEST(CmdSwitch, FirstTwoCharactersOfParameterOneInLowerCase) {
    EXPECT_EQ(CmdSwitch({}), "");
    EXPECT_EQ(CmdSwitch({"/S"}), "/s");
    EXPECT_EQ(CmdSwitch({"-S:0"}), "-s");
    EXPECT_EQ(CmdSwitch({"s"}), "s");
    EXPECT_EQ(CmdSwitch({"ZZtop", "x"}), "zz");
}

TEST(CmdSwitch, SelectsTheMode) {
    EXPECT_EQ(ModeOf(CmdSwitch({"/S"})), Mode::ScreenSaver);
    EXPECT_EQ(ModeOf(CmdSwitch({"-S:0"})), Mode::ScreenSaver);
    EXPECT_EQ(ModeOf(CmdSwitch({"/s", "99"})), Mode::ScreenSaver);
    EXPECT_EQ(ModeOf(CmdSwitch({"s"})), Mode::Settings);
    EXPECT_EQ(ModeOf(CmdSwitch({"/c:1234"})), Mode::Settings);
    EXPECT_EQ(ModeOf(CmdSwitch({})), Mode::Settings);
    EXPECT_EQ(ModeOf(CmdSwitch({"/p", "5"})), Mode::Preview);
    EXPECT_EQ(ModeOf(CmdSwitch({"-a"})), Mode::ChangePassword);
    EXPECT_EQ(ModeOf(CmdSwitch({"zz"})), Mode::TesselPreview);
}

TEST(CmdSwitch, OnlyPreviewAndPasswordChangeIgnoreARunningInstance) {
    EXPECT_FALSE(ChecksSingleInstance(Mode::TesselPreview));
    EXPECT_FALSE(ChecksSingleInstance(Mode::ChangePassword));
    EXPECT_TRUE(ChecksSingleInstance(Mode::ScreenSaver));
    EXPECT_TRUE(ChecksSingleInstance(Mode::Preview));
    EXPECT_TRUE(ChecksSingleInstance(Mode::Settings));
}

TEST(ParamWindowHandle, ReadsTheNumberInEveryFormWindowsPassesIt) {
    EXPECT_EQ(ParamWindowHandle({"/p", "1234"}).window, 1234u);
    EXPECT_EQ(ParamWindowHandle({"/p1234"}).window, 1234u);
    EXPECT_EQ(ParamWindowHandle({"/c:1234"}).window, 1234u);
    EXPECT_EQ(ParamWindowHandle({"/a", "1234"}).window, 1234u);
    EXPECT_EQ(ParamWindowHandle({"/p: :7"}).window, 7u);
    EXPECT_EQ(ParamWindowHandle({"/p", "0"}).window, 0u);
}

TEST(ParamWindowHandle, MissingOrNonDecimalNumberIsReportedNotGuessed) {
    for (const Arguments& args : std::vector<Arguments>{
             {"/a"}, {}, {"/p", "12x"}, {"/p:"}, {"/p", "0x10"}, {"/p", "99999999999"}}) {
        const auto number = ParamWindowHandle(args);
        EXPECT_FALSE(number.window) << "text [" << number.text << "]";
    }
    EXPECT_EQ(ParamWindowHandle({"/p", "12x"}).text, "12x");
    // The last character is never skipped, so a lone colon is what gets converted.
    EXPECT_EQ(ParamWindowHandle({"/p:"}).text, ":");
}

}  // namespace
}  // namespace qv::saver
