// The show's monitor modes on the project's two-monitor display, read from outside with
// screenshots and driven with real X input: the same picture filling each monitor, the next
// pictures one per monitor, a link on the fitted picture of the secondary monitor, a photo
// taken on its side shown upright, and the crossfade. Skipped on one monitor.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "pe/pe_writer.h"
#include "test_jpegs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;
using Rgb = std::array<std::uint8_t, 3>;

constexpr Rgb kRed{220, 30, 30};
constexpr Rgb kGreen{30, 200, 40};
constexpr Rgb kBlue{20, 40, 210};
constexpr Rgb kYellow{230, 220, 30};
constexpr Rgb kWhite{240, 240, 240};
constexpr Rgb kBlack{0, 0, 0};
constexpr char kLink1[] = "http://one.example/fitted";

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

// The first monitor that is not the primary.
std::optional<RECT> SecondaryMonitor() {
    std::vector<RECT> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    for (const RECT& monitor : monitors) {
        if (monitor.left != 0 || monitor.top != 0) {
            return monitor;
        }
    }
    return std::nullopt;
}

class ShowModes : public ::testing::Test {
  protected:
    void SetUp() override {
        secondary = SecondaryMonitor();
        if (!secondary) {
            GTEST_SKIP() << "one monitor: the two-monitor session runs this";
        }
        ResetConfiguration();
        SetMachineValue(L"TesselsDir", tessels.path());
        SetUserValue(L"ViewTime", L"1");  // 6 seconds a picture
        ASSERT_TRUE(PointerTo(secondary->left + 3, secondary->bottom - 3));
    }
    void TearDown() override { EndIfRunning(show); }

    void WriteTessel(const std::vector<std::vector<std::uint8_t>>& pictures) {
        pe::ResourceLibraryLayout layout;
        char name[] = "PICTAJPEG";
        for (const auto& picture : pictures) {
            layout.rcdata.push_back({name, picture});
            ++name[4];
        }
        layout.strings[1] = kLink1;
        const auto bytes = pe::WriteResourceLibrary(layout);
        WriteFile(tessels.path() + L"\\Harbour.tsl", std::string(bytes.begin(), bytes.end()));
    }
    void SetModes(const wchar_t* size, const wchar_t* monitors, const wchar_t* crossfade) {
        SetUserValue(L"PictureSize", size);
        SetUserValue(L"Monitors", monitors);
        SetUserValue(L"Crossfade", crossfade);
    }
    void StartShow() {
        show = StartProgram(SaverHostCommand(L"/s"));
        ASSERT_TRUE(show.process);
        ASSERT_TRUE(
            WaitUntil([&] { return (window = WindowOf(show.pid, L"QuorvanesShow")); }, 30s));
    }
    // A point of the virtual screen in a screenshot of it.
    static bool Shows(const Screenshot& shot, int x, int y, Rgb colour) {
        return shot.Near(x - shot.left, y - shot.top, colour);
    }
    // The colours in the middle of the primary and of the secondary, once both show these.
    bool WaitForMiddles(Rgb primary, Rgb onSecondary) {
        const RECT p = PrimaryMonitor();
        return WaitUntil(
            [&] {
                const Screenshot shot = CaptureVirtualScreen();
                return Shows(shot, (p.left + p.right) / 2, (p.top + p.bottom) / 2, primary) &&
                       Shows(shot, (secondary->left + secondary->right) / 2,
                             (secondary->top + secondary->bottom) / 2, onSecondary);
            },
            40s);
    }
    [[nodiscard]] bool EndsWithin(std::chrono::milliseconds limit) const {
        return WaitForExit(show, limit) == 0u;
    }

    std::optional<RECT> secondary;
    TempFolder tessels{L"qv show modes"};
    Child show;
    HWND window = nullptr;
};

// Flat 640 x 480 pictures (4:3, as both monitors are): "1" fills each monitor with the
// same one to its edges, "2" shows the next two and then the two after them, "0" only the
// primary's, at its own size.
TEST_F(ShowModes, TheSamePictureFillsEachMonitorInOneTheNextOnesInTwoTheDefaultAsEver) {
    WriteTessel({testing::SolidJpeg(640, 480, kRed), testing::SolidJpeg(640, 480, kGreen),
                 testing::SolidJpeg(640, 480, kBlue), testing::SolidJpeg(640, 480, kYellow)});
    const RECT p = PrimaryMonitor();
    const RECT s = *secondary;

    SetModes(L"1", L"1", L"0");
    StartShow();
    ASSERT_TRUE(WaitForMiddles(kRed, kRed)) << "the same picture on both";
    // Fitted to each, to the edges of the letterbox, once their painting is over.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const Screenshot shot = CaptureVirtualScreen();
            bool filled = true;
            for (const RECT& m : {p, s}) {
                const int w = m.right - m.left;
                const int h = m.bottom - m.top;
                const int fittedW = std::min(w, h * 640 / 480);
                const int fittedH = std::min(h, w * 480 / 640);
                const int x = m.left + (w - fittedW) / 2;
                const int y = m.top + (h - fittedH) / 2;
                filled = filled && Shows(shot, x + 3, y + 3, kRed) &&
                         Shows(shot, x + fittedW - 4, y + fittedH - 4, kRed) &&
                         (fittedW == w || Shows(shot, x - 3, y + 3, kBlack));
            }
            return filled;
        },
        10s));
    ASSERT_TRUE(XdoTool("key Escape"));
    ASSERT_TRUE(EndsWithin(15s));

    SetModes(L"1", L"2", L"0");
    StartShow();
    ASSERT_TRUE(WaitForMiddles(kRed, kGreen)) << "pictures 1 and 2";
    ASSERT_TRUE(WaitForMiddles(kBlue, kYellow)) << "then 3 and 4, together";
    ASSERT_TRUE(XdoTool("key Escape"));
    ASSERT_TRUE(EndsWithin(15s));

    SetModes(L"0", L"0", L"0");
    StartShow();
    ASSERT_TRUE(WaitForMiddles(kRed, kBlack)) << "the primary only";
    const int left = (p.right - 640) / 2;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const Screenshot shot = CaptureVirtualScreen();
            return Shows(shot, left + 2, (p.bottom - 480) / 2 + 2, kRed) &&
                   Shows(shot, left - 3, p.bottom / 2, kBlack);
        },
        10s))
        << "at its own size";
    ASSERT_TRUE(XdoTool("key Escape"));
    EXPECT_TRUE(EndsWithin(15s));
}

// A photo stored on its side with orientation 6 fills both monitors upright, and a real
// click on link 1's area of the secondary's fitted picture follows the link and ends.
TEST_F(ShowModes, APhotoOnItsSideIsUprightAndLinkOneWorksOnTheSecondarysFittedPicture) {
    // Stored landscape red, green over blue, white; upright a portrait, blue and red on top.
    const auto photo =
        testing::WithSegment(testing::MakeJpeg({.width = 640,
                                                .height = 480,
                                                .quality = 95,
                                                .quadrants = {{kRed, kGreen, kBlue, kWhite}}}),
                             testing::ExifSegment(6, true));
    WriteTessel({photo});
    SetModes(L"1", L"1", L"0");
    StartShow();
    const RECT s = *secondary;
    const int width = (s.right - s.left);
    const int height = (s.bottom - s.top);
    // Upright 480 x 640 fitted to the monitor's height, centred.
    const int drawnWidth = height * 480 / 640;
    const int left = s.left + (width - drawnWidth) / 2;
    Screenshot shot;
    const auto upright = [&](const Screenshot& seen) {
        return Shows(seen, left + drawnWidth / 4, s.top + height / 4, kBlue) &&
               Shows(seen, left + drawnWidth * 3 / 4, s.top + height / 4, kRed) &&
               Shows(seen, left + drawnWidth / 4, s.top + height * 3 / 4, kWhite) &&
               Shows(seen, left + drawnWidth * 3 / 4, s.top + height * 3 / 4, kGreen) &&
               Shows(seen, s.left + 3, s.top + height / 2, kBlack);  // the letterbox
    };
    ASSERT_TRUE(WaitUntil(
        [&] {
            shot = CaptureVirtualScreen();
            return upright(shot);
        },
        40s))
        << "not upright";
    SaveScreenshot(shot, L"show-modes-upright");

    // Link 1 is the upright picture's x 0 to 159, y 0 to 39: on the screen, its top left.
    ASSERT_TRUE(WaitUntil(
        [] {
            CURSORINFO info{};
            info.cbSize = sizeof info;
            return ::GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) == 0;
        },
        10s))
        << "the show's first second did not end";
    ASSERT_TRUE(PointerTo(left + 20, s.top + 20));
    ASSERT_TRUE(XdoTool("click 1"));
    EXPECT_TRUE(EndsWithin(15s));
    EXPECT_EQ(UserValue(L"UrlLink"), L"http://one.example/fitted");
}

// In mid-fade the screen holds a blend of both pictures, and a key then ends the show at
// once.
TEST_F(ShowModes, AScreenshotInMidFadeHoldsABlendAndAKeyThenEndsTheShowAtOnce) {
    WriteTessel({testing::SolidJpeg(640, 480, kRed), testing::SolidJpeg(640, 480, kGreen)});
    SetModes(L"1", L"1", L"1");
    StartShow();
    ASSERT_TRUE(WaitForMiddles(kRed, kRed));
    const RECT p = PrimaryMonitor();
    const auto blended = [](const std::array<int, 3>& c) {
        // Neither red nor green: both channels well inside the way between them.
        return c[0] > 60 && c[0] < 190 && c[1] > 60 && c[1] < 170;
    };
    Screenshot shot;
    ASSERT_TRUE(WaitUntil(
        [&] {
            shot = CaptureScreen();
            return blended(shot.At(p.right / 2, p.bottom / 2));
        },
        30s))
        << "no blend seen";
    ASSERT_TRUE(XdoTool("key space"));
    const auto pressed = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 5s));
    // Under Wine without a window manager a window's end waits for the X window's
    // withdrawal, up to two seconds of no time of ours; a fade that held the close up
    // would add its remaining steps' time and more.
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 2500ms) << "the fade held the close up";
    EXPECT_TRUE(EndsWithin(15s));
}

}  // namespace
}  // namespace qv
