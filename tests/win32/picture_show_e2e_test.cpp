// The picture show and the preview of the real Quorvanes.scr, watched from outside: the
// screen through GDI, the windows through their classes, input as window messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <thread>

#include "damaged_tessels.h"
#include "pe/pe_writer.h"
#include "saver/win32/preview_window.h"
#include "test_jpegs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

constexpr std::array<std::uint8_t, 3> kRed{220, 30, 30};
constexpr std::array<std::uint8_t, 3> kGreen{30, 200, 60};
constexpr char kLink2[] = "http://two.example/";
constexpr char kLink8[] = "http://eight.example/harbour";
// The system's clock and the processes' own times may differ by a tick.
constexpr std::int64_t kClockSlackMs = 50;

// How far a scenario waits before it drives the show.
enum class Up {
    Window,        // the show's window exists
    FirstPicture,  // the first picture (red) is on the screen
    // The second picture (green) is: the picture timer ran, which the show starts only when
    // its first second, in which it takes no mouse input, is over.
    PastTheFirstSecond,
};

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class PictureShowProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConfiguration();
        pe::ResourceLibraryLayout layout;
        layout.rcdata.push_back({"HARBOUR1JPEG", testing::SolidJpeg(640, 480, kRed)});
        layout.rcdata.push_back({"HARBOUR2JPEG", testing::SolidJpeg(320, 240, kGreen)});
        layout.strings[2] = kLink2;
        layout.strings[8] = kLink8;
        const auto bytes = pe::WriteResourceLibrary(layout);
        WriteFile(tessels.path() + L"\\Harbour.tsl", std::string(bytes.begin(), bytes.end()));
        SetMachineValue(L"TesselsDir", tessels.path());
        SetUserValue(L"ViewTime", L"1");  // 6 seconds a picture
        record = tessels.path() + L"\\record.txt";
        ::SetEnvironmentVariableW(L"QV_RECORD_FILE", record.c_str());
    }
    void TearDown() override { EndIfRunning(show); }

    // Starts the show (no tray program: the first Tessel file) and waits, with generous
    // bounds, for what the show puts on the screen.
    void StartShow(Up up = Up::PastTheFirstSecond) {
        show = StartProgram(SaverHostCommand(L"/s"));
        ASSERT_TRUE(show.process);
        ASSERT_TRUE(WaitUntil([&] { return (window = WindowOf(show.pid, L"QuorvanesShow")); }, 30s))
            << "no show window";
        picture = ::FindWindowExW(window, nullptr, L"QuorvanesPicture", nullptr);
        if (up == Up::Window) {
            return;
        }
        ASSERT_TRUE(
            WaitUntil([&] { return CaptureScreen().Near(Centre().x, Centre().y, kRed); }, 30s))
            << "the first picture did not appear";
        if (up == Up::PastTheFirstSecond) {
            // Shown where the first one was put: from its top left corner.
            const POINT inside{Centre().x - 320 + 10, Centre().y - 240 + 10};
            ASSERT_TRUE(
                WaitUntil([&] { return CaptureScreen().Near(inside.x, inside.y, kGreen); }, 40s))
                << "the second picture did not follow";
        }
    }

    [[nodiscard]] static POINT Centre() {
        return {::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};
    }

    [[nodiscard]] bool Running() const { return !WaitForExit(show, 0ms); }

    TempFolder tessels{L"qv show e2e"};
    std::wstring record;
    Child show;
    HWND window = nullptr;
    HWND picture = nullptr;
};

TEST_F(PictureShowProcess, FirstPictureCentredOnBlackWithoutATaskbarButtonAndAKeyEndsTheShow) {
    StartShow(Up::FirstPicture);
    const Screenshot shot = CaptureScreen();
    SaveScreenshot(shot, L"first-picture");
    const int left = (shot.width - 640) / 2;
    const int top = (shot.height - 480) / 2;
    EXPECT_TRUE(shot.Near(left + 1, top + 1, kRed));
    EXPECT_TRUE(shot.Near(left + 638, top + 478, kRed));
    constexpr std::array<std::uint8_t, 3> kBlack{0, 0, 0};
    EXPECT_TRUE(shot.Near(left - 2, top + 10, kBlack));
    EXPECT_TRUE(shot.Near(left + 642, top + 470, kBlack));
    EXPECT_TRUE(shot.Near(left + 10, top - 2, kBlack));
    EXPECT_TRUE(shot.Near(2, 2, kBlack));
    EXPECT_TRUE(shot.Near(shot.width - 3, shot.height - 3, kBlack));

    // No taskbar button: the show is owned by a hidden tool window.
    const HWND owner = ::GetWindow(window, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    const auto ownerStyle = ::GetWindowLongW(owner, GWL_EXSTYLE);
    EXPECT_TRUE(ownerStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ownerStyle & WS_EX_APPWINDOW);
    EXPECT_FALSE(::IsWindowVisible(owner));

    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(WaitForExit(show, 5s), 0u);
}

TEST_F(PictureShowProcess, DamagedTesselsComeUpWithTheirGoodPicturesAndEndOnAKey) {
    using testing::Damage;
    const auto red = testing::SolidJpeg(640, 480, kRed);
    const auto green = testing::SolidJpeg(320, 240, kGreen);
    const std::vector<std::uint8_t> garbage{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F'};
    const std::vector<std::uint8_t> cutShort(red.begin(), red.begin() + red.size() / 3);
    const struct {
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> pictures;
        Damage damage;
        std::array<std::uint8_t, 3> shown;
    } cases[] = {
        {{{"AJPEG", red}, {"BJPEG", green}}, Damage::DataLongerThanTheFile, kGreen},
        {{{"AJPEG", red}, {"BJPEG", green}}, Damage::DataPastTheEnd, kGreen},
        {{{"AJPEG", red}, {"BJPEG", green}}, Damage::StringOverrunsItsBlock, kRed},
        {{{"AJPEG", garbage}, {"BJPEG", green}, {"CJPEG", cutShort}}, Damage::None, kGreen},
        {{{"AJPEG", red}, {"BJPEG", garbage}, {"CJPEG", garbage}},
         Damage::AllPicturesShareTheFirst,
         kRed},
    };
    SetUserValue(L"CurrentTessel", L"Harbour");
    bool preview = false;
    for (const auto& c : cases) {
        const auto bytes = testing::DamagedTessel(c.pictures, {"http://one.example/"}, c.damage);
        WriteFile(tessels.path() + L"\\Harbour.tsl", std::string(bytes.begin(), bytes.end()));
        preview = !preview;  // the Tessel preview and the screen saver in turn
        show = StartProgram(SaverHostCommand(preview ? L"zz" : L"/s"));
        ASSERT_TRUE(show.process);
        ASSERT_TRUE(
            WaitUntil([&] { return (window = WindowOf(show.pid, L"QuorvanesShow")); }, 30s));
        EXPECT_TRUE(
            WaitUntil([&] { return CaptureScreen().Near(Centre().x, Centre().y, c.shown); }, 20s))
            << "case " << static_cast<int>(c.damage) << " did not show its good picture";
        ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_EQ(WaitForExit(show, 10s), 0u) << static_cast<int>(c.damage);
        EndIfRunning(show);
    }
}

TEST_F(PictureShowProcess, AKeyEndsTheShowAlsoInTheFirstSecond) {
    StartShow(Up::Window);
    // The mouse is ignored now: a click on the black area does nothing.
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::PostMessageW(window, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(WaitForExit(show, 5s), 0u);
}

TEST_F(PictureShowProcess, JunkPrivateMessagesFromAnotherProcessLeaveTheShowRunning) {
    StartShow(Up::Window);
    SendJunkPrivateMessages(window);
    SendJunkPrivateMessages(picture);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(::IsWindow(window));
    ::PostMessageW(window, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(WaitForExit(show, 5s), 0u) << "the show still answers a key";
}

// Timed by the show's own end, as the system recorded it, against moments taken before each
// movement was handed to the show (SendMessage returns once the show has handled it).
TEST_F(PictureShowProcess, MouseMovementBeyondFivePixelsEndsTheShowAfterTheDelay) {
    SetUserValue(L"MouseDelay", L"0");  // 3 seconds
    StartShow();
    const std::int64_t within = SystemTimeMs();
    ::SendMessageW(window, WM_MOUSEMOVE, 0, At(100, 100));
    ::SendMessageW(window, WM_MOUSEMOVE, 0, At(105, 95));
    // A countdown started now would end the show before the one started below could: the
    // show's end is waited for, and must not come, for half the delay.
    ASSERT_FALSE(WaitForExit(show, 1500ms)) << "five pixels are within the threshold";

    const std::int64_t beyond = SystemTimeMs();
    ASSERT_GE(beyond - within, 1500);
    ::SendMessageW(window, WM_MOUSEMOVE, 0, At(106, 100));
    EXPECT_EQ(WaitForExit(show, 30s), 0u);
    const auto ended = ProcessEndMs(show.process.get());
    ASSERT_TRUE(ended);
    EXPECT_GE(*ended - beyond, 3000 - kClockSlackMs)
        << "the show ended " << *ended - beyond << " ms after the movement: before the delay, "
        << "or counted from the movement within the threshold";
}

TEST_F(PictureShowProcess, ClickOnALinkHandsItToTheBrowserLinkWindowOnceAndEnds) {
    const BrowserLinkStandIn browser(tessels.path() + L"\\browser.log");
    StartShow();
    ASSERT_NE(picture, nullptr);
    // The second picture (320 by 240) is up: link 2 is the top band's second column.
    ::PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(200, 20));
    EXPECT_EQ(WaitForExit(show, 20s), 0u);
    EXPECT_EQ(Utf8(UserValue(L"UrlLink")), kLink2);
    const std::string expected = std::string("ready\r\nreceived|") + kLink2 + "\r\n";
    browser.Settle();  // the show has ended: all it sent is handled now
    EXPECT_EQ(browser.Log(), expected) << "one notification only";
}

TEST_F(PictureShowProcess, ClickWhereTheLinkIsEmptyEndsWithoutWriting) {
    const BrowserLinkStandIn browser(tessels.path() + L"\\browser.log");
    SetUserValue(L"UrlLink", L"http://before.example/");
    StartShow();
    ASSERT_NE(picture, nullptr);
    ::PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 20));  // link 1: none
    EXPECT_EQ(WaitForExit(show, 20s), 0u);
    EXPECT_EQ(UserValue(L"UrlLink"), L"http://before.example/");
    browser.Settle();
    EXPECT_EQ(browser.Log(), "ready\r\n");
}

// Wine reports Windows 98 to Quorvanes.scr, the user has a screen-saver password, and the
// System folder holds the password dialog's stand-in.
class PasswordOnWindows98 : public PictureShowProcess {
  protected:
    void SetUp() override {
        PictureShowProcess::SetUp();
        SetKeyString(HKEY_CURRENT_USER, kAppDefaults, L"Version", L"win98");
        DWORD one = 1;
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveUsePassword",
                          REG_DWORD, &one, sizeof(one));
        wchar_t system[MAX_PATH] = {};
        ::GetSystemDirectoryW(system, MAX_PATH);
        cpl = std::wstring(system) + L"\\password.cpl";
        ASSERT_TRUE(::CopyFileW(SiblingPath(L"doubles\\password.cpl").c_str(), cpl.c_str(), FALSE));
        answers = tessels.path() + L"\\answers.txt";
        WriteFile(answers, "wrong\nright\n");
        ::SetEnvironmentVariableW(L"QV_PASSWORD_ANSWERS", answers.c_str());
    }
    void TearDown() override {
        PictureShowProcess::TearDown();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppDefaults);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop",
                             L"ScreenSaveUsePassword");
        ::DeleteFileW(cpl.c_str());
    }
    static void SetKeyString(HKEY root, const wchar_t* key, const wchar_t* name,
                             const std::wstring& text) {
        ::RegSetKeyValueW(root, key, name, REG_SZ, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    static constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\Quorvanes.scr";
    std::wstring cpl;
    std::wstring answers;
};

TEST_F(PasswordOnWindows98, WrongPasswordKeepsTheShowAndTheRightOneEndsIt) {
    StartShow(Up::FirstPicture);
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(record) == "password|wrong\r\n"; }, 10s))
        << ReadFile(record);
    // The show's thread is past the key's handling once it answers; the right password below
    // must still find it.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_TRUE(::IsWindow(window)) << "a wrong password closed the show";

    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(WaitForExit(show, 10s), 0u);
    EXPECT_EQ(ReadFile(record), "password|wrong\r\npassword|right\r\n");
}

// Windows draws a child window of another process into its host; Wine 8 does not, so the
// picture is checked with the preview window run inside this process, and the cross-process
// case for its place and its end.
constexpr std::array<std::uint8_t, 3> kPreviewGround{112, 0, 16};

// Runs the preview window in a host with these bounds until the screen at `watch` shows its
// dark red ground, and takes the screen then; nullopt when it never did.
std::optional<Screenshot> PreviewInHost(RECT bounds, POINT watch,
                                        config::PictureSize size = config::PictureSize::OwnSize) {
    ScopedWindow host(
        WindowLayout{L"QV preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, bounds});
    std::thread preview(
        [&] { saver::win32::RunPreviewWindow(::GetModuleHandleW(nullptr), host.hwnd(), size); });
    const bool painted =
        WaitUntil([&] { return CaptureScreen().Near(watch.x, watch.y, kPreviewGround); }, 10s);
    const Screenshot shot = CaptureScreen();
    host.Destroy();
    preview.join();
    return painted ? std::optional<Screenshot>(shot) : std::nullopt;
}

TEST(PreviewWindow, PictureFillsAHostOf152By112) {
    const auto shot = PreviewInHost({40, 40, 192, 152}, {41, 41});
    ASSERT_TRUE(shot);
    SaveScreenshot(*shot, L"preview");
    EXPECT_TRUE(shot->Near(40, 40, kPreviewGround));
    EXPECT_TRUE(shot->Near(191, 151, kPreviewGround));
    EXPECT_TRUE(shot->Near(41, 150, kPreviewGround));
    EXPECT_FALSE(shot->Near(126, 59, kPreviewGround)) << "the mark at the top";
    EXPECT_FALSE(shot->Near(39, 39, kPreviewGround)) << "beyond the host";
}

TEST(PreviewWindow, LargerHostShowsThePictureCentredOnTheDesktopColour) {
    const auto shot = PreviewInHost({0, 0, 352, 312}, {101, 101});
    ASSERT_TRUE(shot);
    const COLORREF desktop = ::GetSysColor(COLOR_BACKGROUND);
    const std::array<std::uint8_t, 3> background{GetRValue(desktop), GetGValue(desktop),
                                                 GetBValue(desktop)};
    EXPECT_TRUE(shot->Near(5, 5, background));
    EXPECT_TRUE(shot->Near(99, 99, background));
    EXPECT_TRUE(shot->Near(100, 100, kPreviewGround));
    EXPECT_TRUE(shot->Near(251, 211, kPreviewGround));
    EXPECT_TRUE(shot->Near(252, 212, background));

    // With the show's pictures fitted, the preview's is fitted to its host too: 152 x 112
    // in 352 x 312 becomes 352 x 259, from y 26.
    const auto fitted = PreviewInHost({0, 0, 352, 312}, {1, 30}, config::PictureSize::FillMonitor);
    ASSERT_TRUE(fitted);
    EXPECT_TRUE(fitted->Near(1, 28, kPreviewGround));
    EXPECT_TRUE(fitted->Near(350, 282, kPreviewGround));
    EXPECT_TRUE(fitted->Near(5, 22, background));
    EXPECT_TRUE(fitted->Near(5, 288, background));
    EXPECT_FALSE(fitted->Near(200, 71, kPreviewGround)) << "the mark, enlarged";
}

TEST(PreviewProcess, ChildFillingTheHostAndEndingWithIt) {
    ScopedWindow host(WindowLayout{L"QV preview host", WS_POPUP | WS_VISIBLE, {40, 40, 192, 152}});
    const Child preview = StartProgram(
        SaverHostCommand(L"/p " + std::to_wstring(reinterpret_cast<UINT_PTR>(host.hwnd()))));
    ASSERT_TRUE(preview.process);
    HWND child = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            child = ::FindWindowExW(host.hwnd(), nullptr, L"QuorvanesPreview", nullptr);
            return child != nullptr && ::IsWindowVisible(child);
        },
        20s));
    RECT hostRect{};
    RECT childRect{};
    ::GetWindowRect(host.hwnd(), &hostRect);
    ::GetWindowRect(child, &childRect);
    EXPECT_TRUE(::EqualRect(&hostRect, &childRect));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE)) & 0xFFFF0000u,
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    SendJunkPrivateMessages(child);
    EXPECT_FALSE(WaitForExit(preview, 500ms)) << "junk messages ended the preview";

    host.Destroy();
    EXPECT_EQ(WaitForExit(preview, 10s), 0u) << "the preview outlived its host";
}

TEST(PreviewProcess, NoHostEndsAtOnce) {
    const Child preview = StartProgram(SaverHostCommand(L"/p 0"));
    EXPECT_EQ(WaitForExit(preview, 10s), 0u);
}

}  // namespace
}  // namespace qv
