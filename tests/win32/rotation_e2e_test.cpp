// Successive screen-saver starts of the real Quorvanes.scr: the rotation across processes,
// the Preshow, and the savers it starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <utility>
#include <vector>

#include "pe/pe_writer.h"
#include "test_jpegs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetSystemDirectoryW(buffer, MAX_PATH);
    return buffer;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '|');) {
        fields.push_back(field);
    }
    return fields;
}

class RotationAcrossStarts : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConfiguration();
        saverOne = SystemFolder() + L"\\QV Rec One.scr";
        saverTwo = SystemFolder() + L"\\QV Rec Two.scr";
        ASSERT_TRUE(
            ::CopyFileW(SiblingPath(L"RecordingSaver.scr").c_str(), saverOne.c_str(), FALSE));
        ASSERT_TRUE(
            ::CopyFileW(SiblingPath(L"RecordingSaver.scr").c_str(), saverTwo.c_str(), FALSE));
        preshows = tessels.path() + L"\\Preshows";
        ::CreateDirectoryW(preshows.c_str(), nullptr);
        WriteFile(tessels.path() + L"\\Alpha.tsl", "not read by the rotation");
        WriteFile(tessels.path() + L"\\Beta.tsl", "not read by the rotation");
        SetMachineValue(L"TesselsDir", tessels.path());
        SetMachineValue(L"InstallLocation", SiblingPath(L"Quorvanes.scr"));
        SetUserValue(L"Saver", L"\"1QV Rec One\",\"1QV Rec Two\"");
        SetUserValue(L"Tessel", L"Alpha,Beta");
        record = tessels.path() + L"\\record.txt";
        ::SetEnvironmentVariableW(L"QV_RECORD_FILE", record.c_str());
        ::SetEnvironmentVariableW(L"QV_PRESHOW_HOLD_MS", nullptr);
    }
    void TearDown() override {
        ::DeleteFileW(saverOne.c_str());
        ::DeleteFileW(saverTwo.c_str());
        ::DeleteFileW((SystemFolder() + L"\\QV Broken.scr").c_str());
    }

    // A start that runs a saver ends by itself once the saver has ended.
    void StartExpectingSaver() {
        const Child host = StartProgram(SaverHostCommand(L"/s"));
        ASSERT_TRUE(host.process);
        ASSERT_EQ(WaitForExit(host, 30s), 0u);
    }

    // A start that chose a Tessel reaches the picture show, which finds these files no
    // Tessels at all.
    void StartExpectingPictureShow() {
        const Child host = StartProgram(SaverHostCommand(L"/s"));
        const auto box = WaitForMessageBox(host.pid, 30s);
        ASSERT_TRUE(box) << "no picture show";
        EXPECT_EQ(box->text, "There are no pictures in the resource file.");
        Answer(*box, IDOK);
        ASSERT_TRUE(WaitForExit(host, 15s));
    }

    std::vector<std::string> Records() const { return Lines(ReadFile(record)); }

    TempFolder tessels{L"qv rotation e2e"};
    std::wstring saverOne;
    std::wstring saverTwo;
    std::wstring preshows;
    std::wstring record;
};

TEST_F(RotationAcrossStarts, SaversThenTesselsThenSaversAgain) {
    const ScopedTrayWindow tray;
    StartExpectingSaver();
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"1QV Rec One");
    EXPECT_EQ(UserValue(L"ScreenSaverType"), L"1");
    StartExpectingSaver();
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"1QV Rec Two");
    StartExpectingPictureShow();
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"");
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"Alpha");
    EXPECT_EQ(UserValue(L"ScreenSaverType"), L"0");
    StartExpectingPictureShow();
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"Beta");
    StartExpectingSaver();
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"");
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"1QV Rec One");
    EXPECT_EQ(UserValue(L"ScreenSaverType"), L"1");

    const auto lines = Records();
    ASSERT_EQ(lines.size(), 3u);
    const std::string one = Utf8(ShortPathOf(saverOne)) + " /s";
    const std::string two = Utf8(ShortPathOf(saverTwo)) + " /s";
    EXPECT_EQ(Fields(lines[0])[2], one);
    EXPECT_EQ(Fields(lines[1])[2], two);
    EXPECT_EQ(Fields(lines[2])[2], one);
}

TEST_F(RotationAcrossStarts, SaverRunsAsShortPathAtHighPriorityAfterTheWaitedPreshow) {
    const ScopedTrayWindow tray;
    ASSERT_TRUE(::CopyFileW(SiblingPath(L"RecordingPreshow.exe").c_str(),
                            (preshows + L"\\Rec Show.exe").c_str(), FALSE));
    SetUserValue(L"PreshowLocation", L"Rec Show");
    ::SetEnvironmentVariableW(L"QV_PRESHOW_HOLD_MS", L"1500");
    StartExpectingSaver();

    const auto lines = Records();
    ASSERT_EQ(lines.size(), 3u) << ReadFile(record);
    const auto preshowStart = Fields(lines[0]);
    EXPECT_EQ(preshowStart[0], "Rec Show.exe");
    EXPECT_EQ(preshowStart[3], Utf8(preshows)) << "the Preshow runs in the Preshows folder";
    EXPECT_EQ(preshowStart[4], "20") << "normal priority";
    EXPECT_EQ(lines[1], "Rec Show.exe|end") << "the saver started before the Preshow ended";
    const auto saver = Fields(lines[2]);
    EXPECT_EQ(saver[2], Utf8(ShortPathOf(saverOne)) + " /s");
    EXPECT_EQ(saver[2].find('"'), std::string::npos);
    EXPECT_EQ(saver[4], "80") << "high priority";
}

TEST_F(RotationAcrossStarts, AFortyTitleTesselListAndItsPositionSurviveThreeStarts) {
    const ScopedTrayWindow tray;
    std::wstring list;
    std::vector<std::wstring> titles;
    for (int i = 0; i < 40; ++i) {
        titles.push_back(L"Tessel of the day " + std::to_wstring(i));
        WriteFile(tessels.path() + L"\\" + titles.back() + L".tsl", "not read by the rotation");
        list += (i > 0 ? L",\"" : L"\"") + titles.back() + L"\"";
    }
    ASSERT_GT(list.size(), 511u) << "more than the 512-byte buffer holds";
    SetUserValue(L"Tessel", list);
    SetUserValue(L"CurrentTessel", titles[37]);
    SetUserValue(L"ScreenSaverType", L"0");

    StartExpectingPictureShow();
    EXPECT_EQ(UserValue(L"CurrentTessel"), titles[38]);
    StartExpectingPictureShow();
    EXPECT_EQ(UserValue(L"CurrentTessel"), titles[39]);
    EXPECT_EQ(UserValue(L"Tessel"), list);
    StartExpectingSaver();  // the end of the Tessels: on to the savers
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"");
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"1QV Rec One");
    EXPECT_EQ(UserValue(L"Tessel"), list);
}

// Titles outside the ANSI code page, from the stored list to the file the show opens: each
// start shows the next title's own picture.
TEST_F(RotationAcrossStarts, TitlesInAnyScriptAreShownInTurn) {
    const ScopedTrayWindow tray;
    using Colour = std::array<std::uint8_t, 3>;
    const std::array<std::pair<std::wstring, Colour>, 2> titles{
        {{L"東京", Colour{255, 0, 0}}, {L"Été à Paris", Colour{0, 0, 255}}}};
    for (const auto& [title, colour] : titles) {
        pe::ResourceLibraryLayout layout;
        layout.rcdata.push_back({"PICTURE1JPEG", testing::SolidJpeg(320, 240, colour)});
        const auto bytes = pe::WriteResourceLibrary(layout);
        WriteFile(tessels.path() + L"\\" + title + L".tsl",
                  std::string(bytes.begin(), bytes.end()));
    }
    SetUserValue(L"Saver", L"");
    SetUserValue(L"Tessel", L"東京,\"Été à Paris\"");
    SetUserValue(L"ScreenSaverType", L"0");
    const POINT centre{::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};
    for (const auto& [title, colour] : titles) {
        const Child show = StartProgram(SaverHostCommand(L"/s"));
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (window = WindowOf(show.pid, L"QuorvanesShow")); }, 30s))
            << "no show for " << Utf8(title);
        EXPECT_TRUE(WaitUntil(
            [&, &colour = colour] { return CaptureScreen().Near(centre.x, centre.y, colour); },
            30s))
            << Utf8(title) << "'s picture";
        EXPECT_EQ(UserValue(L"CurrentTessel"), title);
        ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
        ASSERT_TRUE(WaitForExit(show, 20s)) << "the show ends on a key";
    }
    EXPECT_EQ(UserValue(L"Tessel"), L"東京,\"Été à Paris\"") << "the user's list stays";
}

TEST_F(RotationAcrossStarts, WithoutTheTrayWindowOnlyTheFirstTesselRunsAndNothingChanges) {
    ASSERT_TRUE(::CopyFileW(SiblingPath(L"RecordingPreshow.exe").c_str(),
                            (preshows + L"\\Rec Show.exe").c_str(), FALSE));
    SetUserValue(L"PreshowLocation", L"Rec Show");
    SetUserValue(L"ScreenSaverType", L"1");
    SetUserValue(L"CurrentSaver", L"1QV Rec One");
    StartExpectingPictureShow();
    EXPECT_TRUE(Records().empty()) << "neither Preshow nor saver";
    EXPECT_EQ(UserValue(L"Tessel"), L"Alpha,Beta") << "the user's list stays";
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"<missing>");
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"1QV Rec One");
    EXPECT_EQ(UserValue(L"ScreenSaverType"), L"1");
}

// Without the tray program the first Tessel file runs. "*.tsl" also lists a folder of that
// name and a file whose short name ends in .TSL: neither is a Tessel, and the user reads
// that none was found instead of a show that ends without a word.
TEST_F(RotationAcrossStarts, WithoutTheTrayWindowAFolderNamedLikeATesselIsNotTaken) {
    const TempFolder only{L"qv no tessels e2e"};
    ASSERT_TRUE(::CreateDirectoryW((only.path() + L"\\Archive.tsl").c_str(), nullptr));
    WriteFile(only.path() + L"\\Archive.tslx", "no Tessel: its short name ends in .TSL");
    SetMachineValue(L"TesselsDir", only.path());
    const Child host = StartProgram(SaverHostCommand(L"/s"));
    ASSERT_TRUE(host.process);
    const auto box = WaitForMessageBox(host.pid, 30s);
    ASSERT_TRUE(box) << "the start ended without a word";
    EXPECT_EQ(box->text, "No Quorvanes were found.");
    Answer(*box, IDOK);
    EXPECT_EQ(WaitForExit(host, 15s), 0u);
    EXPECT_EQ(UserValue(L"Tessel"), L"Alpha,Beta") << "the user's list stays";
}

TEST_F(RotationAcrossStarts, UnstartableSaverIsReported) {
    const ScopedTrayWindow tray;
    WriteFile(SystemFolder() + L"\\QV Broken.scr", "this is no program");
    SetUserValue(L"Saver", L"\"1QV Broken\"");
    SetUserValue(L"Tessel", L"");
    const Child host = StartProgram(SaverHostCommand(L"/s"));
    const auto box = WaitForMessageBox(host.pid, 30s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Unable to start screen saver process.");
    Answer(*box, IDOK);
    EXPECT_EQ(WaitForExit(host, 15s), 0u);
    EXPECT_EQ(UserValue(L"ScreenSaverType"), L"1");
}

}  // namespace
}  // namespace qv
