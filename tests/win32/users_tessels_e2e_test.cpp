// A user's own Tessels under Wine: the per-user Tessels folder seen by the settings list and
// the screen saver's start, and the tip over a Tessel row, read from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "pe/pe_writer.h"
#include "settings/win32/options_layout.h"
#include "settings/win32/tessel_tip.h"
#include "test_jpegs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

constexpr std::array<std::uint8_t, 3> kRed{220, 30, 30};

std::wstring ControlText(HWND control) {
    const auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

class UsersTessels : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConfiguration();
        SetMachineValue(L"TesselsDir", installed.path());
        SetMachineValue(L"InstallLocation", SiblingPath(L"Quorvanes.scr"));
        // The programs started from here take this as the user's local application data.
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", local.path().c_str());
        users = local.path() + L"\\Quorvanes\\Tessels";
        ASSERT_TRUE(::CreateDirectoryW((local.path() + L"\\Quorvanes").c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(users.c_str(), nullptr));

        pe::ResourceLibraryLayout layout;
        layout.rcdata.push_back({"ATTIC1JPEG", testing::SolidJpeg(640, 480, kRed)});
        layout.rcdata.push_back({"ATTIC2JPEG", testing::SolidJpeg(320, 240, kRed)});
        layout.strings[2] = "http://two.example/attic";
        layout.strings[8] = "https://eight.example.org:8443/x?y=1";
        const auto bytes = pe::WriteResourceLibrary(layout);
        WriteFile(users + L"\\Attic.tsl", std::string(bytes.begin(), bytes.end()));
        SetUserValue(L"Tessel", L"Attic");
    }
    void TearDown() override {
        EndIfRunning(program);
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    }

    HWND OpenSettings() {
        program = StartProgram(SaverHostCommand(L"/c"));
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                return (window = WindowOf(program.pid, L"QuorvanesOptions")) &&
                       ::IsWindowVisible(window);
            },
            30s));
        return window;
    }

    TempFolder installed{L"qv users installed"};
    TempFolder local{L"qv users local"};
    std::wstring users;
    Child program;
};

TEST_F(UsersTessels, ATesselOnlyInTheUsersFolderIsListedCheckedAndShownByTheNextStart) {
    const HWND window = OpenSettings();
    ASSERT_NE(window, nullptr);
    const HWND list = ::GetDlgItem(window, settings::win32::id::kTessels);
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    wchar_t text[64] = {};
    ::SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Attic");
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMDATA, 0, 0), 1) << "checked, as stored";
    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(WaitForExit(program, 20s), 0u);

    // No tray program: the start shows the first Tessel file there is, the user's.
    program = StartProgram(SaverHostCommand(L"/s"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const POINT centre{::GetSystemMetrics(SM_CXSCREEN) / 2,
                               ::GetSystemMetrics(SM_CYSCREEN) / 2};
            return WindowOf(program.pid, L"QuorvanesShow") != nullptr &&
                   CaptureScreen().Near(centre.x, centre.y, kRed);
        },
        30s))
        << "the user's Tessel was not shown";
    ::PostMessageW(WindowOf(program.pid, L"QuorvanesShow"), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(WaitForExit(program, 10s), 0u);
}

// The mouse resting on the row shows the tip: the first picture small (red, at most 160
// wide), and, in the text a screen reader reads too, the pictures and the links' hosts and
// addresses. The focus moving to the row shows it as well; leaving the list hides it.
TEST_F(UsersTessels, TheTipOverATesselRowShowsItsThumbnailAndItsLinksHosts) {
    const HWND window = OpenSettings();
    ASSERT_NE(window, nullptr);
    const HWND list = ::GetDlgItem(window, settings::win32::id::kTessels);
    RECT row{};
    ::SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
    ASSERT_TRUE(PointerTo((row.left + row.right) / 2, (row.top + row.bottom) / 2));

    HWND tip = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (tip = WindowOf(program.pid, settings::win32::kTesselTipClass)) &&
                   ::IsWindowVisible(tip);
        },
        20s))
        << "no tip over the row";
    const std::wstring said = ControlText(tip);
    EXPECT_EQ(said,
              L"Attic\n2 pictures, 320 x 240 to 640 x 480\n"
              L"Link 2: two.example (http://two.example/attic)\n"
              L"Link 8: eight.example.org (https://eight.example.org:8443/x?y=1)");
    RECT at{};
    ::GetWindowRect(tip, &at);
    EXPECT_LE(at.right - at.left, 440 + 14) << "a thumbnail at most 160 wide beside no more text";
    const Screenshot shot = CaptureScreen();
    SaveScreenshot(shot, L"tessel-tip");
    EXPECT_TRUE(shot.Near(at.left + 40, at.top + 40, kRed)) << "the thumbnail";
    EXPECT_FALSE(shot.Near(at.left + 8 + 160 + 10, at.top + 40, kRed)) << "no wider than 160";

    ASSERT_TRUE(PointerTo(2, 2));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(tip); }, 10s)) << "left, hidden";
}

}  // namespace
}  // namespace qv
