// The real QVTIcon.exe under Wine: its window, its icon in the notification area, its menu
// commands and launch-now, watched from outside.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <sstream>

#include "tray/win32/tray_window.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;
using Clock = std::chrono::steady_clock;

constexpr UINT kWmTrayNotify = WM_USER + 3;
constexpr UINT kIdmShutdown = 4098;
constexpr UINT kIdmRestart = 4100;

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetSystemDirectoryW(buffer, MAX_PATH);
    return buffer;
}

// The notification area knows an icon of the window: a change of nothing succeeds only then.
bool IconExists(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::size_t CountOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

class TrayProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConfiguration();
        savedScrnSave = ScrnSave();
        SetMachineValue(L"InstallLocation", SiblingPath(L"Quorvanes.scr"));
        SetMachineValue(L"TesselsDir", folder.path());
        saver = SystemFolder() + L"\\QV Tray Rec.scr";
        ASSERT_TRUE(::CopyFileW(SiblingPath(L"RecordingSaver.scr").c_str(), saver.c_str(), FALSE));
        record = folder.path() + L"\\record.txt";
        ::SetEnvironmentVariableW(L"QV_RECORD_FILE", record.c_str());
    }
    void TearDown() override {
        EndIfRunning(tray);
        SetScrnSave(savedScrnSave == L"<missing>" ? L"" : savedScrnSave);
        ::DeleteFileW(saver.c_str());
    }

    // Starts the tray program and waits for its window and its icon.
    void StartTray() {
        tray = StartProgram(L"\"" + SiblingPath(L"QVTIcon.exe") + L"\"");
        ASSERT_TRUE(tray.process);
        ASSERT_TRUE(WaitUntil([&] { return (window = WindowOf(tray.pid, L"Vantrel")); }, 20s))
            << "no tray window";
        ASSERT_TRUE(WaitUntil([&] { return IconExists(window); }, 10s)) << "no icon";
    }

    void LeftClick() { ::PostMessageW(window, kWmTrayNotify, 0, WM_LBUTTONUP); }
    // The recorded starts whose process the system made at `sinceMs` or later.
    std::size_t StartsMadeSince(std::int64_t sinceMs) const {
        std::size_t count = 0;
        std::istringstream lines(ReadFile(record));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t last = line.rfind('|');
            if (line.find("|start|") != std::string::npos && last != std::string::npos &&
                std::stoll(line.substr(last + 1)) >= sinceMs) {
                ++count;
            }
        }
        return count;
    }

    TempFolder folder{L"qv tray e2e"};
    std::wstring savedScrnSave;
    std::wstring saver;
    std::wstring record;
    Child tray;
    HWND window = nullptr;
};

TEST_F(TrayProcess, OneInstanceOnlyAndTheIconGoesWithTheWindow) {
    StartTray();
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Quorvanes TrayIcon");
    // Shown with the start's command, then hidden.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, 10s));

    const Child second = StartProgram(L"\"" + SiblingPath(L"QVTIcon.exe") + L"\"");
    EXPECT_EQ(WaitForExit(second, 15s), 0u);
    EXPECT_EQ(WindowOf(second.pid, L"Vantrel"), nullptr);

    SendJunkPrivateMessages(window);
    EXPECT_FALSE(WaitForExit(tray, 500ms)) << "junk messages ended the tray program";
    EXPECT_TRUE(IconExists(window));

    // The settings dialog ends the tray program this way.
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(tray, 10s), 0u);
    EXPECT_FALSE(IconExists(window));
}

// The notification area forgets the icon, as a shell that starts again does.
void ForgetIcon(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = 0;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

TEST_F(TrayProcess, AForgottenIconComesBackOnTaskbarCreatedAndWhenAChangeIsRefused) {
    SetUserValue(L"Tessel", L"Alps");
    StartTray();
    ForgetIcon(window);
    ASSERT_FALSE(IconExists(window));
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 10000, &result);
    EXPECT_TRUE(WaitUntil([&] { return IconExists(window); }, 10s)) << "not added again";

    // The restart's refresh changes the icon; refused, it adds the icon again.
    ForgetIcon(window);
    ASSERT_FALSE(IconExists(window));
    ::PostMessageW(window, WM_COMMAND, kIdmRestart, 0);
    EXPECT_TRUE(WaitUntil([&] { return IconExists(window); }, 10s)) << "not added again";
    EXPECT_EQ(ScrnSave(), ShortPathOf(SiblingPath(L"Quorvanes.scr")));
}

TEST_F(TrayProcess, ConfirmedShutdownSwitchesTheManagerOffForGood) {
    SetUserValue(L"Saver", L"\"1QV Tray Rec\"");
    SetScrnSave(ShortPathOf(SiblingPath(L"Quorvanes.scr")));
    StartTray();
    ::PostMessageW(window, WM_COMMAND, kIdmShutdown, 0);
    const auto box = WaitForMessageBox(tray.pid, 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Quorvanes");
    EXPECT_EQ(box->text.rfind("This action will remove the tray icon", 0), 0u) << box->text;
    Answer(*box, IDOK);
    EXPECT_EQ(WaitForExit(tray, 10s), 0u);
    EXPECT_EQ(UserValue(L"TrayIconOn"), L"0");
    EXPECT_EQ(ScrnSave(), L"") << "the key stays, with an empty value";

    // Switched off, a start ends silently: watched for boxes from its start to its end.
    const Child again = StartProgram(L"\"" + SiblingPath(L"QVTIcon.exe") + L"\"");
    const EndWatched end = WaitForExitWatchingBoxes(again, 30s);
    EXPECT_EQ(end.exitCode, 0u);
    EXPECT_FALSE(end.box) << end.box->text;
}

TEST_F(TrayProcess, SeveralClicksStartTheConfiguredSaverOnceAfterASecond) {
    SetScrnSave(ShortPathOf(saver));
    StartTray();
    const auto clicked = Clock::now();
    LeftClick();
    LeftClick();
    LeftClick();
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(record).empty(); }, 10s)) << "no saver started";
    const auto started = Clock::now() - clicked;
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(started).count(), 900);
    // A launch of the second or third click would have started its saver by now, within
    // moments of the first (the clicks came together): one more click marks the time, and
    // once its saver is up every saver made before the mark is counted.
    const std::int64_t mark = SystemTimeMs();
    LeftClick();
    ASSERT_TRUE(WaitUntil([&] { return StartsMadeSince(mark) == 1; }, 10s))
        << "a click after the launch was not accepted: " << ReadFile(record);
    const std::string lines = ReadFile(record);
    EXPECT_EQ(CountOf(lines, "|start|"), 2u) << "one for the three clicks: " << lines;
    EXPECT_NE(lines.find(" /s|"), std::string::npos) << lines;
}

TEST_F(TrayProcess, WithoutASystemSaverTheBoxComesAndClicksWaitForIt) {
    SetScrnSave(L"");
    StartTray();
    LeftClick();
    const auto box = WaitForMessageBox(tray.pid, 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text,
              "No screen saver has been set.  Right click on the desktop and select 'properties' "
              "to set one.");
    // A click while the box is up, sent: handled by the box's loop when the call returns. Had
    // it been taken, its launch would show a second box a second later, in the wait below.
    ::SendMessageW(window, kWmTrayNotify, 0, WM_LBUTTONUP);
    Answer(*box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box->window); }, 5s));
    EXPECT_FALSE(WaitForMessageBox(tray.pid, 2s)) << "a click during the box was acted on";

    LeftClick();  // accepted again
    const auto next = WaitForMessageBox(tray.pid, 10s);
    ASSERT_TRUE(next);
    Answer(*next, IDOK);
}

TEST_F(TrayProcess, LaunchNowRunsTheSaverHostWhichFindsTheTrayAndRotates) {
    SetUserValue(L"Saver", L"\"1QV Tray Rec\"");
    SetScrnSave(ShortPathOf(SiblingPath(L"Quorvanes.scr")));
    StartTray();
    LeftClick();
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(record).empty(); }, 20s)) << "nothing ran";
    // Whatever the saver host starts, it has started once it has ended.
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"Quorvanes.scr").empty(); }, 20s));
    EXPECT_EQ(CountOf(ReadFile(record), "QV Tray Rec.scr|start|"), 1u) << ReadFile(record);
    EXPECT_TRUE(WaitUntil([] { return UserValue(L"ScreenSaverType") == L"1"; }, 10s));
    EXPECT_EQ(UserValue(L"CurrentSaver"), L"1QV Tray Rec");
}

TEST_F(TrayProcess, SettingsStartTheSaverHostByItsQuotedPath) {
    const std::wstring host = folder.path() + L"\\Rec Host.scr";  // blanks in folder and name
    ASSERT_TRUE(::CopyFileW(SiblingPath(L"RecordingSaver.scr").c_str(), host.c_str(), FALSE));
    SetMachineValue(L"InstallLocation", host);
    StartTray();
    ::PostMessageW(window, WM_COMMAND, 4097, 0);
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(record).empty(); }, 10s)) << "nothing ran";
    const std::string line = ReadFile(record);
    EXPECT_EQ(line.rfind("Rec Host.scr|start|\"" + Utf8(host) + "\"|", 0), 0u) << line;
}

TEST_F(TrayProcess, RightClickOpensTheMenu) {
    StartTray();
    ::PostMessageW(window, kWmTrayNotify, 0, WM_RBUTTONUP);
    // The menu window is created a moment before it is shown: wait for it to be on screen.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const HWND popup = WindowOf(tray.pid, L"#32768");
            return popup != nullptr && ::IsWindowVisible(popup);
        },
        10s));
}

// Menus belong to their process under Wine, so the entries are checked on a menu built here.
TEST(TrayMenu, FiveEnabledEntriesWithRestartAboveShutdown) {
    const auto owned = tray::win32::BuildTrayMenu();
    ASSERT_TRUE(owned);
    const HMENU menu = owned.get();
    ASSERT_EQ(::GetMenuItemCount(menu), 5);
    const UINT ids[] = {4096, 4097, 0, 4100, 4098};
    const wchar_t* texts[] = {L"Launch Screen Saver", L"Quorvanes Manager Settings", L"",
                              L"Restart Quorvanes Manager", L"Shutdown Quorvanes Manager"};
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(::GetMenuItemID(menu, i), ids[i]);
        EXPECT_STREQ(text, texts[i]);
        EXPECT_EQ(
            ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED),
            0u);
    }
    EXPECT_NE(::GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
}

// The program's own artwork: 16 x 16 tray icons with see-through corners, and a 32 x 32 one.
TEST(TrayIcons, BuiltIntoTheProgramWithTransparentCorners) {
    const winbase::UniqueHmodule program(
        ::LoadLibraryExW(SiblingPath(L"QVTIcon.exe").c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program);
    for (const wchar_t* name : {L"TRAYICON", L"TRAYICONOFF"}) {
        const HICON icon =
            static_cast<HICON>(::LoadImageW(program.get(), name, IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr) << Utf8(name);
        // Drawn on magenta, the corners let it through and the screen does not.
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pixels = nullptr;
        const winbase::UniqueGdiObject canvas(
            ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0));
        const winbase::UniqueHdc dc(::CreateCompatibleDC(nullptr));
        const winbase::ScopedSelect use(dc.get(), canvas.get());
        const winbase::UniqueGdiObject magenta(::CreateSolidBrush(RGB(255, 0, 255)));
        RECT all{0, 0, 16, 16};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(magenta.get()));
        ASSERT_TRUE(::DrawIconEx(dc.get(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(::GetPixel(dc.get(), 0, 13), RGB(255, 0, 255)) << "corner not transparent";
        EXPECT_EQ(::GetPixel(dc.get(), 15, 13), RGB(255, 0, 255)) << "corner not transparent";
        EXPECT_NE(::GetPixel(dc.get(), 7, 9), RGB(255, 0, 255)) << "the screen is not opaque";
        ::DestroyIcon(icon);
    }
    const winbase::UniqueHicon large(
        static_cast<HICON>(::LoadImageW(program.get(), L"MAINICON", IMAGE_ICON, 32, 32, 0)));
    ASSERT_TRUE(large);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(large.get(), &info));
    const winbase::UniqueGdiObject mask(info.hbmMask);
    const winbase::UniqueGdiObject colour(info.hbmColor);
    BITMAP bits{};
    ::GetObjectW(colour.get(), sizeof(bits), &bits);
    EXPECT_EQ(bits.bmWidth, 32);
}

}  // namespace
}  // namespace qv
