// The banner control with the project's advert.dll under Wine: loaded as the saver host loads
// it, painting and changing its banner, clicks reaching the library and the shell, the boxes
// of a missing library, and a library planted in the current folder left alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "adbanner/win32/ad_image.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/system_dialogs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;
using adbanner::AdStatus;
using adbanner::win32::AdImage;
using winbase::UniqueGdiObject;
using winbase::UniqueHdc;

constexpr RECT kHostBounds{30, 30, 530, 130};
constexpr POINT kBannerAt{8, 20};

// The screen's pixels under a window, as 0x00RRGGBB.
std::vector<std::uint32_t> PixelsOf(HWND window) {
    RECT area{};
    ::GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const winbase::WindowDc screenDc(nullptr);
    const HDC screen = screenDc.get();
    UniqueHdc copy(::CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    if (bitmap && bits != nullptr) {
        const winbase::ScopedSelect selected(copy.get(), bitmap.get());
        ::BitBlt(copy.get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        ::GdiFlush();
        std::memcpy(pixels.data(), bits, pixels.size() * sizeof(std::uint32_t));
    }
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFFu;
    }
    return pixels;
}

// How often the recording program was started, by what it wrote.
std::size_t Starts(const std::string& record) {
    std::size_t count = 0;
    for (std::size_t at = record.find("|start|"); at != std::string::npos;
         at = record.find("|start|", at + 1)) {
        ++count;
    }
    return count;
}

std::size_t Colours(const std::vector<std::uint32_t>& pixels) {
    return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size();
}

std::size_t Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < a.size() && k < b.size(); ++k) {
        count += a[k] != b[k] ? 1 : 0;
    }
    return count;
}

TEST(AdBanner, TheStandInPaintsChangesCountsAndTakesClicks) {
    ui::win32::SystemDialogs dialogs;
    HWND host = ::CreateWindowExW(
        WS_EX_TOPMOST, L"STATIC", L"QV banner host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
        kHostBounds.left, kHostBounds.top, kHostBounds.right - kHostBounds.left,
        kHostBounds.bottom - kHostBounds.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    std::atomic<int> clicks = 0;
    std::atomic<int> networkRequests = 0;
    std::atomic<int> counted = 0;
    {
        AdImage image(dialogs);
        adbanner::win32::AdImageProperties properties;
        properties.programId = 502;
        properties.onClick = [&](adbanner::AdBanner&) { ++clicks; };
        properties.onNetworkRequest = [&](adbanner::AdBanner&) { ++networkRequests; };
        properties.onAdCounted = [&](adbanner::AdBanner&) { ++counted; };
        ASSERT_TRUE(image.Create(::GetModuleHandleW(nullptr), host, 1026, properties));
        ASSERT_TRUE(image.banner().Started()) << "advert.dll beside the programs was not started";
        HWND banner = image.hwnd();
        // The settings window places it at its layout rectangle; a wrong size is held to a format.
        ::MoveWindow(banner, kBannerAt.x, kBannerAt.y, 470, 75, TRUE);
        RECT placed{};
        ::GetWindowRect(banner, &placed);
        ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, kBannerAt.x);
        EXPECT_EQ(placed.top, kBannerAt.y);
        EXPECT_EQ(placed.right - placed.left, 468);
        EXPECT_EQ(placed.bottom - placed.top, 60);
        EXPECT_EQ(::GetClassLongW(banner, GCL_STYLE) & CS_DBLCLKS, 0u)
            << "a double click must come as two clicks";

        std::vector<std::uint32_t> first;
        ASSERT_TRUE(PumpUntil(
            [&] {
                first = PixelsOf(banner);
                return Colours(first) >= 16;
            },
            10s))
            << "the banner's area is blank: " << Colours(first) << " colours";
        std::vector<std::uint32_t> later;
        EXPECT_TRUE(PumpUntil(
            [&] {
                later = PixelsOf(banner);
                return Differing(first, later) > later.size() / 2;
            },
            15s))
            << "the banner never changed";
        EXPECT_GE(Colours(later), 16u);
        EXPECT_TRUE(PumpUntil([&] { return counted >= 1 && networkRequests == 1; }, 5s))
            << counted << " banners counted, " << networkRequests << " network requests";
        EXPECT_FALSE(image.banner().NetworkIsUp()) << "the stand-in has no network";
        EXPECT_TRUE(image.banner().Status().Has(AdStatus::adiIdle));

        TempFolder folder(L"qv banner click");
        const std::wstring record = folder.path() + L"\\opened.txt";
        {
            ScopedWebRecorder recorder(record);
            ::PostMessageW(banner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 30));
            ::PostMessageW(banner, WM_LBUTTONUP, 0, MAKELPARAM(100, 30));
            EXPECT_TRUE(PumpUntil(
                [&] { return image.banner().Status().Has(AdStatus::adiClickHasWorked); }, 10s));
            EXPECT_EQ(clicks, 1);
            EXPECT_TRUE(WaitUntil(
                [&] {
                    return ReadFile(record).find("https://www.example.com/quorvanes/") !=
                           std::string::npos;
                },
                10s))
                << "the shell was not handed the banner's address: " << ReadFile(record);

            // A double click of the system's input comes as two clicks.
            RECT onScreen{};
            ::GetWindowRect(banner, &onScreen);
            ::SetCursorPos(onScreen.left + 50, onScreen.top + 30);
            std::array<INPUT, 4> presses{};
            for (std::size_t k = 0; k < presses.size(); ++k) {
                presses[k].type = INPUT_MOUSE;
                presses[k].mi.dwFlags = k % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            }
            ::SendInput(static_cast<UINT>(presses.size()), presses.data(), sizeof(INPUT));
            EXPECT_TRUE(PumpUntil([&] { return clicks == 3; }, 10s)) << clicks << " clicks";
            WaitUntil([&] { return Starts(ReadFile(record)) >= 3; }, 10s);
            EXPECT_EQ(Starts(ReadFile(record)), 3u) << "every click is one address for the shell";
        }
        // A press that ends outside the banner is no click.
        ::PostMessageW(banner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 30));
        ::PostMessageW(banner, WM_LBUTTONUP, 0, MAKELPARAM(600, 30));
        PumpUntil([] { return false; }, 300ms);
        EXPECT_EQ(clicks, 3);
    }
    // The control went: _Shutdown ended the library's thread and the library was released.
    EXPECT_EQ(::GetModuleHandleW(L"advert.dll"), nullptr);
    ::DestroyWindow(host);
}

TEST(AdBanner, AMissingLibraryIsReportedAndAPlantInTheCurrentFolderIsNotLoaded) {
    // The probe alone in a folder: advert.dll is neither beside it nor in the system folders,
    // but a working copy is planted in the folder it starts in.
    TempFolder programFolder(L"qv banner program");
    TempFolder current(L"qv banner current");
    const std::wstring probe = programFolder.path() + L"\\AdBannerProbe.exe";
    ASSERT_TRUE(::CopyFileW(SiblingPath(L"AdBannerProbe.exe").c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(SiblingPath(L"advert.dll").c_str(),
                            (current.path() + L"\\advert.dll").c_str(), FALSE));

    const Child unhardened =
        StartProgram(L"\"" + probe + L"\" --unhardened", current.path().c_str());
    EXPECT_EQ(WaitForExit(unhardened, 20s), 2u) << "without the hardening the plant would load";

    const Child hardened = StartProgram(L"\"" + probe + L"\"", current.path().c_str());
    ASSERT_TRUE(hardened.process);
    std::vector<std::string> texts;
    for (int k = 0; k < 17; ++k) {
        const auto box = WaitForMessageBox(hardened.pid, 20s);
        if (!box) {
            break;
        }
        EXPECT_EQ(box->caption, "Assertion Failed");
        texts.push_back(box->text);
        Answer(*box, IDOK);
        WaitUntil([&] { return !::IsWindow(box->window); }, 5s);
    }
    std::vector<std::string> expected = {"Couldn't load advert.dll"};
    for (const std::string_view name : adbanner::kExportNames) {
        expected.push_back("Couldn't find address of " + std::string(name));
    }
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(WaitForExit(hardened, 20s), 3u) << "the control started without its library";
    EndIfRunning(hardened);

    // Beside its library the probe loads that one, whatever the current folder holds.
    const Child beside =
        StartProgram(L"\"" + SiblingPath(L"AdBannerProbe.exe") + L"\"", current.path().c_str());
    EXPECT_EQ(WaitForExit(beside, 20s), 0u);
}

}  // namespace
}  // namespace qv
