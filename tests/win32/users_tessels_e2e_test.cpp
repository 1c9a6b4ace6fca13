// A user's own Tessels under Wine: the per-user Tessels folder seen by the settings list and
// the screen saver's start, and the tip over a Tessel row, read from outside.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "pe/pe_writer.h"
#include "settings/win32/new_tessel_dialog.h"
#include "settings/win32/new_tessel_layout.h"
#include "settings/win32/options_layout.h"
#include "settings/win32/tessel_tip.h"
#include "test_jpegs.h"
#include "test_pngs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

constexpr std::array<std::uint8_t, 3> kRed{220, 30, 30};

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

    // "New Tessel…" of the Tessel list's menu, as the menu gives it; the dialog when it shows.
    HWND OpenNewTessel(HWND settings) {
        ::PostMessageW(settings, WM_COMMAND, MAKEWPARAM(settings::win32::menu::kNewTessel, 0), 0);
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                return (dialog = WindowOf(program.pid, settings::win32::kNewTesselClass)) &&
                       ::IsWindowVisible(dialog);
            },
            20s));
        return dialog;
    }
    static void Type(HWND dialog, int id, const std::wstring& text) {
        ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(text.c_str()));
    }
    static void Press(HWND dialog, int id) {
        ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    }
    static void WritePicture(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
        WriteFile(path, std::string(bytes.begin(), bytes.end()));
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
    // The tip is visible before the system has copied its pixels to the screen: the
    // thumbnail is waited for.
    Screenshot shot;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = CaptureScreen();
            return shot.Near(at.left + 40, at.top + 40, kRed);
        },
        10s))
        << "the thumbnail";
    SaveScreenshot(shot, L"tessel-tip");
    EXPECT_FALSE(shot.Near(at.left + 8 + 160 + 10, at.top + 40, kRed)) << "no wider than 160";

    ASSERT_TRUE(PointerTo(2, 2));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(tip); }, 10s)) << "left, hidden";
}

namespace nt = settings::win32::new_tessel;

// A typed folder of six pictures: turned JPEGs, a large photograph and a PNG are packed, the
// damaged one is named with its reason (a bitmap is left to readers of the system's formats),
// and the new Tessel lands in the user's folder, checked in the list and stored by OK.
TEST_F(UsersTessels, NewTesselMakesATesselOfAFolderInTheUsersFolderCheckedAndStoredByOk) {
    TempFolder photos{L"qv new tessel photos"};
    using testing::ExifSegment;
    using testing::MakeJpeg;
    using testing::WithSegment;
    WritePicture(photos.path() + L"\\a turned.jpg",
                 WithSegment(MakeJpeg({.width = 400, .height = 300}), ExifSegment(6, true)));
    WritePicture(photos.path() + L"\\b upside down.jpg",
                 WithSegment(MakeJpeg({.width = 400, .height = 300}), ExifSegment(3, false)));
    WritePicture(photos.path() + L"\\c large.jpg",
                 MakeJpeg({.width = 4000, .height = 3000, .smooth = true}));
    WritePicture(photos.path() + L"\\d drawing.png",
                 testing::MakePng({.width = 300, .height = 200}));
    WriteFile(photos.path() + L"\\e damaged.jpg", "\xff\xd8 this is no picture");
    WriteFile(photos.path() + L"\\f bitmap.bmp", "BM");
    SetUserValue(L"Tessel", L"");

    const HWND window = OpenSettings();
    ASSERT_NE(window, nullptr);
    const HWND dialog = OpenNewTessel(window);
    ASSERT_NE(dialog, nullptr);
    Type(dialog, nt::id::kFolder, photos.path());
    Type(dialog, nt::id::kName, L"Holiday");
    Type(dialog, nt::id::kLink + 2, L"https://holiday.example/");
    Press(dialog, nt::id::kCreate);
    const auto box = WaitForMessageBox(program.pid, 120s);
    ASSERT_TRUE(box) << "no word of the making";
    EXPECT_NE(box->text.find("'Holiday' is made of 4 pictures."), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("\ne damaged.jpg: "), std::string::npos) << box->text;
    Answer(*box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 20s));

    EXPECT_NE(::GetFileAttributesW((users + L"\\Holiday.tsl").c_str()), INVALID_FILE_ATTRIBUTES);
    const HWND list = ::GetDlgItem(window, settings::win32::id::kTessels);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }, 10s));
    const auto holiday = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(L"Holiday"));
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(holiday), 0), 1)
        << "checked";
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), holiday) << "the row of the focus";
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    // This installation has no tray program to start: OK says so once the choice is stored.
    const auto stored = WaitForMessageBox(program.pid, 20s);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->text.rfind("Your settings were saved", 0), 0u) << stored->text;
    Answer(*stored, IDOK);
    ASSERT_TRUE(WaitForExit(program, 20s));
    EXPECT_EQ(UserValue(L"Tessel"), L"Holiday") << "OK put it in the rotation";
}

// Cancel in the middle of a long making: the dialog answered all the while, and no file is
// left, neither the Tessel nor its temporary file.
TEST_F(UsersTessels, CancelInTheMiddleOfAHundredPictureMakeLeavesNoFile) {
    TempFolder photos{L"qv new tessel many"};
    const auto picture = testing::MakeJpeg({.width = 1600, .height = 1200, .smooth = true});
    for (int k = 0; k < 100; ++k) {
        WritePicture(photos.path() + L"\\p" + std::to_wstring(100 + k) + L".jpg", picture);
    }
    const HWND window = OpenSettings();
    ASSERT_NE(window, nullptr);
    const HWND dialog = OpenNewTessel(window);
    ASSERT_NE(dialog, nullptr);
    Type(dialog, nt::id::kFolder, photos.path());
    Type(dialog, nt::id::kName, L"Many");
    Press(dialog, nt::id::kCreate);
    const HWND progress = ::GetDlgItem(dialog, nt::id::kProgress);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(progress, PBM_GETPOS, 0, 0) >= 3; }, 60s))
        << "the making did not get going";
    ASSERT_LT(::SendMessageW(progress, PBM_GETPOS, 0, 0), 100);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(
        WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(dialog, nt::id::kCreate)); }, 30s))
        << "the making did not end";
    WIN32_FIND_DATAW found{};
    const winbase::UniqueFind any(::FindFirstFileW((users + L"\\*.*").c_str(), &found));
    std::wstring left;
    if (any) {
        do {
            if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") {
                left += found.cFileName;
            }
        } while (::FindNextFileW(any.get(), &found));
    }
    EXPECT_EQ(left, L"Attic.tsl") << "only the Tessel that was there";
}

}  // namespace
}  // namespace qv
