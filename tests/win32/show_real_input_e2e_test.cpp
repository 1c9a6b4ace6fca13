// The real Quorvanes.scr driven by real X input (xdotool, on the session's display, no
// window manager), on one monitor and, in the two-monitor session, on two: what a user does
// with a keyboard and a mouse, and what covers the screens meanwhile.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>

#include "pe/pe_writer.h"
#include "saver/win32/host_views.h"
#include "saver/win32/picture_window.h"
#include "test_jpegs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;
using Clock = std::chrono::steady_clock;

constexpr std::array<std::uint8_t, 3> kRed{220, 30, 30};
constexpr std::array<std::uint8_t, 3> kBlack{0, 0, 0};
constexpr std::array<std::uint8_t, 3> kMagenta{255, 0, 255};
constexpr char kLink8[] = "http://eight.example/harbour";

bool TwoMonitors() {
    return ::GetSystemMetrics(SM_CMONITORS) >= 2;
}

// The show hides the pointer when its first second, in which it takes no mouse input, ends.
bool FirstSecondEnds() {
    return WaitUntil(
        [] {
            CURSORINFO info{};
            info.cbSize = sizeof info;
            return ::GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) == 0;
        },
        10s);
}

// The points of a 16-pixel grid over `shot` where the root window's magenta shows.
int UncoveredSpots(const Screenshot& shot) {
    int uncovered = 0;
    for (int y = 0; y < shot.height; y += 16) {
        for (int x = 0; x < shot.width; x += 16) {
            uncovered += shot.Near(x, y, kMagenta) ? 1 : 0;
        }
    }
    return uncovered;
}

class RealInputShow : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConfiguration();
        pe::ResourceLibraryLayout layout;
        layout.rcdata.push_back({"HARBOUR1JPEG", testing::SolidJpeg(640, 480, kRed)});
        layout.strings[2] = "http://two.example/";
        layout.strings[8] = kLink8;
        const auto bytes = pe::WriteResourceLibrary(layout);
        WriteFile(tessels.path() + L"\\Harbour.tsl", std::string(bytes.begin(), bytes.end()));
        SetMachineValue(L"TesselsDir", tessels.path());
        SetUserValue(L"MouseDelay", L"0");  // 3 seconds
        // The pointer rests away from where the show puts anything before it starts.
        ASSERT_TRUE(PointerTo(VirtualScreen().left + 3, 3));
    }
    void TearDown() override { EndIfRunning(show); }

    // Starts the show and waits for its first picture on the primary monitor and for the
    // end of its first second, in which it takes no mouse input.
    void StartShow() {
        show = StartProgram(SaverHostCommand(L"/s"));
        ASSERT_TRUE(show.process);
        ASSERT_TRUE(
            WaitUntil([&] { return (window = WindowOf(show.pid, L"QuorvanesShow")); }, 30s));
        ASSERT_TRUE(WaitUntil(
            [&] {
                const Screenshot shot = CaptureScreen();
                return shot.Near(shot.width / 2, shot.height / 2, kRed);
            },
            20s))
            << "the first picture did not appear";
        ASSERT_TRUE(FirstSecondEnds()) << "the pointer was not hidden";
    }

    // The picture's corner on the screen: centred on the primary monitor.
    [[nodiscard]] static POINT PictureCorner() {
        const RECT primary = PrimaryMonitor();
        return {(primary.right - 640) / 2, (primary.bottom - 480) / 2};
    }

    [[nodiscard]] bool Running() const { return !WaitForExit(show, 0ms); }

    // The show's window leaves when the show ends; under Wine without a window manager the
    // process may take up to two seconds more.
    [[nodiscard]] bool EndsWithin(std::chrono::milliseconds limit) const {
        return WaitForExit(show, limit) == 0u;
    }

    TempFolder tessels{L"qv real input"};
    Child show;
    HWND window = nullptr;
};

TEST_F(RealInputShow, AKeyEndsTheShow) {
    StartShow();
    ASSERT_TRUE(XdoTool("key space"));
    EXPECT_TRUE(EndsWithin(15s));
}

TEST_F(RealInputShow, AClickEndsTheShowOnThePictureTheBlackAreaAndASecondaryMonitor) {
    const POINT corner = PictureCorner();
    struct Target {
        const char* where;
        POINT at;
    };
    std::vector<Target> targets{{"the picture", {corner.x + 320, corner.y + 240}},
                                {"the black area", {corner.x - 20, corner.y + 240}}};
    if (TwoMonitors()) {
        const RECT area = VirtualScreen();
        // The secondary monitor is the part of the virtual screen beside the primary.
        const int x = area.left < 0 ? area.left + 40 : PrimaryMonitor().right + 40;
        targets.push_back({"a secondary monitor", {x, 40}});
    }
    for (const auto& target : targets) {
        SCOPED_TRACE(target.where);
        StartShow();
        ASSERT_TRUE(PointerTo(target.at.x, target.at.y));
        ASSERT_TRUE(XdoTool("click 1"));
        EXPECT_TRUE(EndsWithin(15s));
        EndIfRunning(show);
        ASSERT_TRUE(PointerTo(VirtualScreen().left + 3, 3));
    }
}

TEST_F(RealInputShow, FivePixelsDoNothingFurtherEndsTheShowAfterTheDelayAndALinkPausesIt) {
    StartShow();
    const POINT corner = PictureCorner();
    const POINT anchor{corner.x - 60, corner.y + 100};
    ASSERT_TRUE(PointerTo(anchor.x, anchor.y));
    ASSERT_TRUE(PointerTo(anchor.x + 5, anchor.y - 5));
    ASSERT_FALSE(WaitForExit(show, 5s)) << "five pixels are within the threshold";

    // Further: the countdown starts; resting on link 2 pauses it, whatever its length.
    ASSERT_TRUE(PointerTo(anchor.x + 20, anchor.y));
    ASSERT_TRUE(PointerTo(corner.x + 200, corner.y + 10));
    ASSERT_FALSE(WaitForExit(show, 6s)) << "the countdown went on over the link";

    // Off the link it goes on; the show's window goes at the end of the delay.
    ASSERT_TRUE(PointerTo(corner.x + 200, corner.y + 100));
    const auto resumed = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }, 20s));
    const auto gone = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - resumed);
    EXPECT_LE(gone.count(), 3000 + 3000) << "the delay is three seconds";
    EXPECT_TRUE(EndsWithin(10s));
}

TEST_F(RealInputShow, MovementBeyondFivePixelsEndsTheShowMouseDelayPlusThreeSecondsLater) {
    SetUserValue(L"MouseDelay", L"1");  // 4 seconds
    StartShow();
    const POINT corner = PictureCorner();
    ASSERT_TRUE(PointerTo(corner.x - 60, corner.y + 100));
    const auto before = Clock::now();
    ASSERT_TRUE(PointerTo(corner.x - 40, corner.y + 100));
    const auto moved = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }, 30s));
    const auto gone = Clock::now();
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    EXPECT_GE(duration_cast<milliseconds>(gone - before).count(), 4000 - 100);
    EXPECT_LE(duration_cast<milliseconds>(gone - moved).count(), 4000 + 3000);
    EXPECT_TRUE(EndsWithin(10s));
}

// A real click on a link area: the show ends and hands the link to the browser-link window.
TEST_F(RealInputShow, AClickOnALinkHandsItToTheBrowserLinkWindow) {
    const BrowserLinkStandIn browser(tessels.path() + L"\\browser.log");
    StartShow();
    const POINT corner = PictureCorner();
    ASSERT_TRUE(PointerTo(corner.x + 500, corner.y + 460));
    // The hint shows with the pointer at rest where it arrived (made the first time the
    // pointer rests on a link, it shows after the system's delay), and the click goes
    // through it to the link beneath.
    HWND hint = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hint = WindowOf(show.pid, TOOLTIPS_CLASSW)); }, 10s));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(hint) != FALSE; }, 10s))
        << "no hint over the link";
    ASSERT_TRUE(XdoTool("click 1"));
    EXPECT_TRUE(EndsWithin(15s));
    EXPECT_EQ(Utf8(UserValue(L"UrlLink")), kLink8);
    const std::string expected = std::string("ready\r\nreceived|") + kLink8 + "\r\n";
    EXPECT_TRUE(WaitUntil([&] { return browser.Log() == expected; }, 10s)) << browser.Log();
}

// The show's window on a thread of this process, as the screen saver's start makes it for
// the Tessel "Harbour": a cursor is a handle of the process that loaded it, so the cursor
// the show sets is only this process's to recognise.
class ShowOnAThread {
  public:
    ShowOnAThread()
        : thread_([](const platform::Platform& platform) {
              saver::win32::Win32HostViews views(::GetModuleHandleW(nullptr), platform,
                                                 [] { return 0; });
              saver::HostState host;
              host.mode = saver::Mode::ScreenSaver;
              host.toolWindowMode = true;
              host.tesselForThisRun = "Harbour";
              (void)views.RunPictureShow(host);
          }) {}
    ShowOnAThread(const ShowOnAThread&) = delete;
    ShowOnAThread& operator=(const ShowOnAThread&) = delete;
    ~ShowOnAThread() {
        if (!thread_.Ended()) {
            (void)XdoTool("key space");
        }
        EXPECT_TRUE(thread_.WaitForEnd(30s)) << "the show in this process did not end";
    }
    [[nodiscard]] bool Ended() const { return thread_.Ended(); }

  private:
    InProcessThread thread_;
};

// The hand over a link area, the arrow elsewhere, moved by real input.
TEST_F(RealInputShow, ALinkAreaShowsTheHandAndTheRestOfThePictureTheArrow) {
    const ShowOnAThread inProcess;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const Screenshot shot = CaptureScreen();
            return WindowOf(::GetCurrentProcessId(), saver::win32::kShowWindowClass) != nullptr &&
                   shot.Near(shot.width / 2, shot.height / 2, kRed);
        },
        30s))
        << "the first picture did not appear";
    ASSERT_TRUE(FirstSecondEnds()) << "the pointer was not hidden";
    const auto cursorIs = [](const wchar_t* shape) {
        return [shape] {
            CURSORINFO info{};
            info.cbSize = sizeof info;
            return ::GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) != 0 &&
                   info.hCursor == ::LoadCursorW(nullptr, shape);
        };
    };
    // The pointer shows once it has moved beyond the threshold, which starts the countdown.
    const POINT corner = PictureCorner();
    ASSERT_TRUE(PointerTo(corner.x - 60, corner.y + 100));
    ASSERT_TRUE(PointerTo(corner.x - 40, corner.y + 100));
    EXPECT_TRUE(PumpUntil(cursorIs(IDC_ARROW), 10s)) << "no arrow on the black area";
    ASSERT_TRUE(PointerTo(corner.x + 200, corner.y + 10));  // link 2
    EXPECT_TRUE(PumpUntil(cursorIs(IDC_HAND), 10s)) << "no hand over the link";
    ASSERT_TRUE(PointerTo(corner.x + 200, corner.y + 100));
    EXPECT_TRUE(PumpUntil(cursorIs(IDC_ARROW), 10s)) << "no arrow off the link";
    EXPECT_TRUE(PumpUntil([&] { return inProcess.Ended(); }, 20s))
        << "the countdown did not end the show";
}

// The show on every monitor, read from outside: the window's rectangle and the screen.
TEST_F(RealInputShow, TheShowCoversEveryMonitorWithThePictureCentredOnThePrimary) {
    ASSERT_TRUE(RunOnX("xsetroot -solid magenta"));
    StartShow();
    RECT covered{};
    ASSERT_TRUE(::GetWindowRect(window, &covered));
    const RECT area = VirtualScreen();
    EXPECT_TRUE(::EqualRect(&covered, &area))
        << covered.left << "," << covered.top << " " << covered.right << "," << covered.bottom;

    const Screenshot shot = CaptureVirtualScreen();
    SaveScreenshot(shot, TwoMonitors() ? L"show-two-monitors" : L"show-one-monitor");
    EXPECT_EQ(UncoveredSpots(shot), 0) << "the desktop shows through";
    const POINT corner = PictureCorner();
    const auto at = [&](int x, int y, std::array<std::uint8_t, 3> colour) {
        return shot.Near(x - shot.left, y - shot.top, colour);
    };
    EXPECT_TRUE(at(corner.x + 1, corner.y + 1, kRed));
    EXPECT_TRUE(at(corner.x + 638, corner.y + 478, kRed));
    EXPECT_TRUE(at(corner.x - 2, corner.y + 10, kBlack));
    EXPECT_TRUE(at(corner.x + 642, corner.y + 470, kBlack));
    ASSERT_TRUE(XdoTool("key Escape"));
    EXPECT_TRUE(EndsWithin(15s));
}

// The secondary monitor's settings changed as the display settings change them, through
// the system (which Wine carries out with xrandr, and answers with WM_DISPLAYCHANGE); the
// monitor's first settings come back when the change goes, also after a failed step.
class SecondaryMonitor {
  public:
    SecondaryMonitor() {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof device;
        for (DWORD i = 0; ::EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
            const DWORD flags = device.StateFlags;
            if ((flags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0 &&
                (flags & DISPLAY_DEVICE_PRIMARY_DEVICE) == 0) {
                name_ = device.DeviceName;
                break;
            }
        }
        first_.dmSize = sizeof first_;
        found_ = !name_.empty() &&
                 ::EnumDisplaySettingsW(name_.c_str(), ENUM_CURRENT_SETTINGS, &first_) != FALSE;
    }
    ~SecondaryMonitor() {
        if (found_) {
            (void)SwitchOnAsItWas();
        }
    }
    SecondaryMonitor(const SecondaryMonitor&) = delete;
    SecondaryMonitor& operator=(const SecondaryMonitor&) = delete;

    [[nodiscard]] bool found() const { return found_; }
    [[nodiscard]] bool LeftOfThePrimary() const { return first_.dmPosition.x < 0; }

    // Its resolution changed, beside the primary on the side where it was.
    [[nodiscard]] bool SetMode(DWORD width, DWORD height) const {
        const LONG x = LeftOfThePrimary() ? -static_cast<LONG>(width) : first_.dmPosition.x;
        return Place(x, width, height);
    }
    [[nodiscard]] bool SwitchOff() const { return Place(0, 0, 0); }
    [[nodiscard]] bool SwitchOnAsItWas() const {
        return Place(first_.dmPosition.x, first_.dmPelsWidth, first_.dmPelsHeight);
    }

  private:
    // A size of 0 x 0 detaches the monitor from the desktop.
    [[nodiscard]] bool Place(LONG x, DWORD width, DWORD height) const {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmPosition = {x, first_.dmPosition.y};
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        return ::ChangeDisplaySettingsExW(name_.c_str(), &mode, nullptr,
                                          CDS_UPDATEREGISTRY | CDS_NORESET,
                                          nullptr) == DISP_CHANGE_SUCCESSFUL &&
               ::ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) ==
                   DISP_CHANGE_SUCCESSFUL;
    }

    std::wstring name_;
    DEVMODEW first_{};
    bool found_ = false;
};

// During the show the secondary's resolution changes, then it is switched off, then on
// again: each time the show covers the new virtual screen, keeps the picture centred on the
// primary and goes on.
TEST_F(RealInputShow, TheShowFollowsTheMonitorsWhenTheyChange) {
    if (!TwoMonitors()) {
        GTEST_SKIP() << "one monitor: the two-monitor session runs this";
    }
    const SecondaryMonitor secondary;
    ASSERT_TRUE(secondary.found());
    ASSERT_TRUE(RunOnX("xsetroot -solid magenta"));
    StartShow();
    const auto follows = [&](LONG width, const char* step) {
        SCOPED_TRACE(step);
        RECT covered{};
        EXPECT_TRUE(WaitUntil(
            [&] {
                const RECT area = VirtualScreen();
                return ::GetWindowRect(window, &covered) && ::EqualRect(&covered, &area) &&
                       area.right - area.left == width;
            },
            20s))
            << covered.left << "," << covered.top << " " << covered.right << "," << covered.bottom;
        EXPECT_TRUE(Running()) << "a change of the monitors ended the show";
        const POINT corner = PictureCorner();
        EXPECT_TRUE(WaitUntil(
            [&] {
                const Screenshot shot = CaptureVirtualScreen();
                const auto at = [&](int x, int y, std::array<std::uint8_t, 3> colour) {
                    return shot.Near(x - shot.left, y - shot.top, colour);
                };
                return UncoveredSpots(shot) == 0 && at(corner.x + 1, corner.y + 1, kRed) &&
                       at(corner.x - 2, corner.y + 1, kBlack);
            },
            10s))
            << "the desktop shows through, or the picture is not centred on the primary";
    };
    ASSERT_TRUE(secondary.SetMode(640, 480));
    follows(1024 + 640, "the secondary at 640 x 480");
    ASSERT_TRUE(secondary.SwitchOff());
    follows(1024, "the secondary switched off");
    ASSERT_TRUE(secondary.SwitchOnAsItWas());
    follows(1024 + 800, "the secondary switched on again");
    ASSERT_TRUE(XdoTool("key space"));
    EXPECT_TRUE(EndsWithin(15s));
}

// A box of the show (here: not one picture decodes) on the primary monitor, above the show.
TEST_F(RealInputShow, TheShowsBoxOpensOnThePrimaryMonitorAboveTheShow) {
    pe::ResourceLibraryLayout layout;
    layout.rcdata.push_back({"BROKENJPEG", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F'}});
    const auto bytes = pe::WriteResourceLibrary(layout);
    WriteFile(tessels.path() + L"\\Harbour.tsl", std::string(bytes.begin(), bytes.end()));
    show = StartProgram(SaverHostCommand(L"/s"));
    ASSERT_TRUE(show.process);
    const auto box = WaitForMessageBox(show.pid, 30s);
    ASSERT_TRUE(box);
    window = WindowOf(show.pid, L"QuorvanesShow");
    EXPECT_EQ(::GetWindow(box->window, GW_OWNER), window);
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(box->window, &rect));
    RECT inside{};
    const RECT primary = PrimaryMonitor();
    EXPECT_TRUE(::IntersectRect(&inside, &rect, &primary) && ::EqualRect(&inside, &rect))
        << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    const HWND top = ::GetAncestor(::WindowFromPoint(centre), GA_ROOT);
    EXPECT_EQ(top, box->window) << "the box is under the show";
    Answer(*box, IDOK);
    EXPECT_TRUE(EndsWithin(15s));
}

}  // namespace
}  // namespace qv
