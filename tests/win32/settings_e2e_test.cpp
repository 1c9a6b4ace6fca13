// The settings dialog of the real Quorvanes.scr ("/c") under Wine, on a prepared
// installation: its window and controls read from outside, its lists, and what OK and
// Cancel leave in the registry, in system.ini and among the running programs.
#include <windows.h>

#include <oleacc.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <span>
#include <thread>
#include <utility>

#include "adbanner/win32/ad_image.h"
#include "base/win32/system_library.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "pe/pe_writer.h"
#include "settings/win32/help_dialog.h"
#include "settings/win32/options_layout.h"
#include "settings/win32/options_window.h"
#include "settings/win32/picture_show_dialog.h"
#include "test_jpegs.h"
#include "test_savers.h"
#include "ui/win32/font.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;
using namespace settings::win32;

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\Quorvanes.scr";

std::wstring Folder(UINT(WINAPI* get)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH] = {};
    get(buffer, MAX_PATH);
    return buffer;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

const wchar_t* ExpectedClass(const ControlLayout& control) {
    switch (control.kind) {
        case ControlKind::Label:
        case ControlKind::LinkLabel:
            return L"Static";
        case ControlKind::GroupBox:
        case ControlKind::CheckBox:
        case ControlKind::Button:
            return L"Button";
        case ControlKind::ComboBox:
            return L"ComboBox";
        case ControlKind::SpinEdit:
        case ControlKind::TextBox:
        case ControlKind::PathEdit:
        case ControlKind::Edit:
            return L"Edit";
        case ControlKind::ListBox:
            return L"ListBox";
        case ControlKind::ProgressBar:
            return L"msctls_progress32";
        case ControlKind::Window:
            return control.windowClass;
    }
    return L"";
}

RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Presses `button` and waits for the window of `className` it opens in the process `pid`.
HWND OpenedBy(HWND button, DWORD pid, const wchar_t* className) {
    ::PostMessageW(button, BM_CLICK, 0, 0);
    HWND opened = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] { return (opened = WindowOf(pid, className)) != nullptr && ::IsWindowVisible(opened); },
        10s))
        << "no window " << winbase::Narrow(className);
    return opened;
}

// WM_DPICHANGED as the system sends it when the window moves to a screen of density `dpi`:
// the suggested rectangle has the client size `client` within the window's frame.
void SendDpiChanged(HWND window, UINT dpi, SIZE client) {
    RECT frame{};
    RECT now{};
    ::GetWindowRect(window, &frame);
    ::GetClientRect(window, &now);
    RECT suggested{frame.left, frame.top,
                   frame.left + client.cx + (frame.right - frame.left) - now.right,
                   frame.top + client.cy + (frame.bottom - frame.top) - now.bottom};
    ::SendMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
}

struct Row {
    std::string text;
    bool checked = false;
    bool operator==(const Row&) const = default;
};

std::vector<Row> RowsOf(HWND list) {
    std::vector<Row> rows;
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        rows.push_back(
            {Utf8(text), ::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == 1});
    }
    return rows;
}

bool Has(const std::vector<Row>& rows, const Row& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

void EndProcesses(const wchar_t* exe) {
    for (const DWORD pid : ProcessesNamed(exe)) {
        const winbase::UniqueHandleKernel process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
        ::TerminateProcess(process.get(), 9);
    }
}

class SettingsProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetConfiguration();
        EndProcesses(L"QVTIcon.exe");
        SetMachineValue(L"TesselsDir", tessels.path());
        SetMachineValue(L"InstallLocation", SiblingPath(L"Quorvanes.scr"));
        for (const wchar_t* title : {L"\\Harbour.tsl", L"\\Alps.tsl"}) {
            WriteFile(tessels.path() + title, "a Tessel's bytes are not read here");
        }
        ::CreateDirectoryW((tessels.path() + L"\\Preshows").c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW(SiblingPath(L"RecordingPreshow.exe").c_str(),
                                (tessels.path() + L"\\Preshows\\Intro.exe").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW(SiblingPath(L"QVTIcon.exe").c_str(),
                                (tessels.path() + L"\\QVTIcon.exe").c_str(), FALSE));

        pe::ResourceLibraryLayout named;
        named.strings[1] = "Aurora Borealis";
        const auto withName = pe::WriteResourceLibrary(named);
        const auto withoutName = pe::WriteResourceLibrary({});
        const auto marbles = testing::MakeNeSaver("SCRNSAVE : Marbles Deluxe");
        const std::wstring windows = Folder(::GetWindowsDirectoryW);
        const std::wstring system = Folder(::GetSystemDirectoryW);
        Plant(windows + L"\\QVSet Aurora.scr", withName);
        Plant(system + L"\\QVSet Aurora.scr", withName);  // in both folders: listed twice
        Plant(system + L"\\QVSet Plain.scr", withoutName);
        Plant(system + L"\\QVSet Marbles.scr", marbles);
        Plant(system + L"\\QVSet Damaged.scr", {'M', 'Z', 0x13, 0x37});
        planted.push_back(windows + L"\\Quorvanes.scr");
        ASSERT_TRUE(
            ::CopyFileW(SiblingPath(L"Quorvanes.scr").c_str(), planted.back().c_str(), FALSE));
        ::WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", L"system.ini");
        ::SystemParametersInfoW(SPI_SETSCREENSAVETIMEOUT, 900, nullptr, SPIF_UPDATEINIFILE);
    }
    void TearDown() override {
        EndIfRunning(dialog);
        EndProcesses(L"QVTIcon.exe");
        for (const auto& path : planted) {
            ::DeleteFileW(path.c_str());
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppDefaults);
    }
    void Plant(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
        WriteFile(path, std::string(bytes.begin(), bytes.end()));
        planted.push_back(path);
    }

    void Open() {
        dialog = StartProgram(SaverHostCommand(L"/c"));
        ASSERT_TRUE(dialog.process);
        ASSERT_TRUE(WaitUntil(
            [&] {
                return (window = WindowOf(dialog.pid, L"QuorvanesOptions")) &&
                       ::IsWindowVisible(window);
            },
            30s));
    }
    HWND Control(int id) const { return ::GetDlgItem(window, id); }
    // A click on the check box of a row.
    void ToggleRow(int list, int row) {
        const LPARAM at = MAKELPARAM(5, row * kItemHeight + kItemHeight / 2);
        ::SendMessageW(Control(list), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(Control(list), WM_LBUTTONUP, 0, at);
    }
    int RowOf(int list, const std::string& text) {
        const auto rows = RowsOf(Control(list));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].text == text) {
                return static_cast<int>(i);
            }
        }
        std::string shown;
        for (const Row& row : rows) {
            shown += " [" + row.text + "]";
        }
        ADD_FAILURE() << "no row " << text << "; the list holds" << shown;
        return -1;
    }

    TempFolder tessels{L"qv settings e2e"};
    std::vector<std::wstring> planted;
    Child dialog;
    HWND window = nullptr;
};

TEST_F(SettingsProcess, WindowAndControlsAsTheLayoutTableGivesThem) {
    Open();
    SaveScreenshot(CapturePainted(window), L"settings-dialog");
    EXPECT_EQ(Utf8(TextOf(window)), kCaption);
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, kClientWidth);
    EXPECT_EQ(client.bottom, kClientHeight);
    EXPECT_EQ(::GetWindowLongW(window, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              0)
        << "no caption-bar buttons";

    std::vector<HWND> tabStops;
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0) {
            tabStops.push_back(child);
        }
    }
    std::vector<HWND> expectedTabs;
    for (const ControlLayout& control : kControls) {
        HWND child = Control(control.id);
        ASSERT_NE(child, nullptr) << control.name;
        EXPECT_EQ(ClassOf(child), ExpectedClass(control)) << control.name;
        if (control.kind == ControlKind::Window &&
            std::wcscmp(control.windowClass, kCheckListClass) != 0) {
            // A picture's text is its name for a screen reader: what a click does.
            EXPECT_EQ(Utf8(TextOf(child)), ui::win32::AccessibleNameOf(control)) << control.name;
        } else if (control.kind != ControlKind::ComboBox && control.kind != ControlKind::SpinEdit) {
            EXPECT_EQ(Utf8(TextOf(child)), control.text) << control.name;
        }
        const Place place = WindowPlace(control);
        RECT rect = ClientRectOf(child);
        if (control.kind == ControlKind::SpinEdit) {
            rect.right = ClientRectOf(Control(id::kWaitSpin)).right;  // the arrows inside it
        }
        EXPECT_EQ(rect.left, place.left) << control.name;
        if ((control.look & look::kMiddle) != 0) {
            continue;  // its text in the middle of its place: the scenario below
        }
        EXPECT_EQ(rect.top, place.top) << control.name;
        // The arrows overlap the edit's border by two pixels.
        const int slack = control.kind == ControlKind::SpinEdit ? 2 : 0;
        EXPECT_NEAR(rect.right - rect.left, place.width, slack) << control.name;
        if (control.kind != ControlKind::ComboBox) {  // its height is the font's
            EXPECT_EQ(rect.bottom - rect.top, place.height) << control.name;
        }
        if ((::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0) {
            expectedTabs.push_back(child);
        }
    }
    EXPECT_EQ(tabStops, expectedTabs) << "the tab order is the table's";
    EXPECT_EQ(::SendMessageW(Control(id::kSavers), LB_GETITEMHEIGHT, 0, 0), kItemHeight);
    EXPECT_EQ(::SendMessageW(Control(id::kViewTime), CB_GETCOUNT, 0, 0), 16);
    EXPECT_EQ(::SendMessageW(Control(id::kMouseDelay), CB_GETCOUNT, 0, 0), 8);
    EXPECT_FALSE(::IsWindowVisible(Control(id::kPasswordButton))) << "hidden on the NT family";
    EXPECT_EQ(Utf8(ControlText(Control(id::kWaitTime))), "15") << "the system's 900 seconds";
}

// Places at 144 DPI, written out by hand (not taken from the table the window walks): each
// 96-DPI number of the dialog's layout times 1.5, a half rounded up as MulDiv rounds; a
// control in a group box or the panel at its parent's offset.
struct HandPlace {
    int id;
    const char* name;
    RECT rect;  // left, top, right, bottom in the window's client area
};
constexpr HandPlace kAt144Dpi[] = {
    {id::kOk, "btnOK 508,379,75,25", {762, 569, 762 + 113, 569 + 38}},
    {id::kCancel, "btnCancel 507,411,75,25", {761, 617, 761 + 113, 617 + 38}},
    {id::kLogo, "imgQuorvanesLogo 430,2,170,91", {645, 3, 645 + 255, 3 + 137}},
    {id::kLabel5, "Label5 112,2,193,15", {168, 3, 168 + 290, 3 + 23}},
    {id::kSavers, "lstSystemSavers 3+9,56+20,185,213", {18, 114, 18 + 278, 114 + 320}},
    {id::kPreshows, "lstPreshows 408+12,211+64,193,89", {630, 413, 630 + 290, 413 + 134}},
    {id::kPasswordCheck, "chkPassword 3+10,330+12,145,17", {20, 513, 20 + 218, 513 + 26}},
};
constexpr int kItemHeightAt144 = 23;    // 15 * 1.5 = 22.5
constexpr SIZE kClientAt144{933, 657};  // 622 by 438

void ExpectHandPlaces(HWND window, std::span<const HandPlace> places) {
    for (const HandPlace& place : places) {
        const RECT rect = ClientRectOf(::GetDlgItem(window, place.id));
        EXPECT_EQ(rect.left, place.rect.left) << place.name;
        EXPECT_EQ(rect.top, place.rect.top) << place.name;
        EXPECT_EQ(rect.right, place.rect.right) << place.name;
        EXPECT_EQ(rect.bottom, place.rect.bottom) << place.name;
    }
}

void ExpectPlacesAt144(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, kClientAt144.cx);
    EXPECT_EQ(client.bottom, kClientAt144.cy);
    ExpectHandPlaces(window, kAt144Dpi);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(window, id::kSavers), LB_GETITEMHEIGHT, 0, 0),
              kItemHeightAt144);
}

// Wine's own density setting, for the programs started while it is set.
class ScopedLogPixels {
  public:
    explicit ScopedLogPixels(DWORD dpi) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD,
                          &dpi, sizeof(dpi));
    }
    ~ScopedLogPixels() {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
    }
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
};

TEST_F(SettingsProcess, At144DpiTheControlsLieWhereTheHandWrittenPlacesSay) {
    const ScopedLogPixels dense(144);
    Open();
    ExpectPlacesAt144(window);
    SaveScreenshot(CapturePainted(window), L"settings-dialog-144dpi");

    // The picture show's choices at the same density, for the eye.
    const HWND picture = OpenedBy(Control(id::kPictureShow), dialog.pid, kPictureShowDialogClass);
    ASSERT_NE(picture, nullptr);
    RECT shown{};
    ::GetClientRect(picture, &shown);
    EXPECT_EQ(shown.right, 480) << "320 at 144 DPI";
    EXPECT_EQ(shown.bottom, 389) << "259 at 144 DPI";
    SaveScreenshot(CapturePainted(picture), L"picture-show-dialog-144dpi");
    ::PostMessageW(picture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(picture); }, 10s));

    // The help dialog at the same density: its own table, scaled the same way.
    ::PostMessageW(Control(id::kHelp), BM_CLICK, 0, 0);
    HWND help = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (help = WindowOf(dialog.pid, L"QuorvanesHelp")) && ::IsWindowVisible(help); },
        10s));
    RECT client{};
    ::GetClientRect(help, &client);
    EXPECT_EQ(client.right, 551) << "367 at 144 DPI";
    EXPECT_EQ(client.bottom, 615) << "410 at 144 DPI";
    SaveScreenshot(CapturePainted(help), L"help-dialog-144dpi");
}

TEST_F(SettingsProcess, ListsShowTheFilesAndTheStoredChoices) {
    SetUserValue(L"Tessel", L"HARBOUR");
    SetUserValue(L"Saver", L"\"1QVSet Marbles\",\"0QVSet Aurora\"");
    SetUserValue(L"PreshowLocation", L"Intro");
    Open();
    const auto savers = RowsOf(Control(id::kSavers));
    EXPECT_TRUE(Has(savers, {"Marbles Deluxe", true})) << "an NE saver by its description";
    EXPECT_TRUE(Has(savers, {"QVSet Plain", false})) << "a PE saver without string 1";
    EXPECT_TRUE(Has(savers, {"QVSet Damaged", false})) << "a damaged file by its name";
    const auto aurora = std::count_if(savers.begin(), savers.end(),
                                      [](const Row& r) { return r.text == "Aurora Borealis"; });
    EXPECT_EQ(aurora, 2) << "listed from both folders";
    EXPECT_TRUE(Has(savers, {"Aurora Borealis", true}));
    EXPECT_FALSE(std::any_of(savers.begin(), savers.end(), [](const Row& r) {
        return r.text == "Quorvanes";
    })) << "the saver host does not list itself";
    EXPECT_EQ(RowsOf(Control(id::kTessels)),
              (std::vector<Row>{{"Alps", false}, {"Harbour", true}}));
    EXPECT_EQ(RowsOf(Control(id::kPreshows)), (std::vector<Row>{{"Intro", true}}));
}

// Titles in any language, sorted by the user's locale and checked by the file system's rule,
// as read from another process; OK stores them back as the user sees them.
TEST_F(SettingsProcess, TitlesInAnyLanguageSortAndCheckAsTheSystemCompares) {
    for (const wchar_t* title :
         {L"\\abricot.tsl", L"\\éclair.tsl", L"\\Été à Paris.tsl", L"\\Zèbre.tsl", L"\\東京.tsl"}) {
        WriteFile(tessels.path() + title, "a Tessel's bytes are not read here");
    }
    SetUserValue(L"Tessel", L"\"été à paris\",東京");
    Open();
    EXPECT_EQ(RowsOf(Control(id::kTessels)), (std::vector<Row>{{"abricot", false},
                                                               {"Alps", false},
                                                               {"éclair", false},
                                                               {"Été à Paris", true},
                                                               {"Harbour", false},
                                                               {"Zèbre", false},
                                                               {"東京", true}}));
    ::PostMessageW(Control(id::kOk), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 30s), 0u);
    EXPECT_EQ(UserValue(L"Tessel"), L"\"Été à Paris\",東京");
}

// A row's text as the list draws it (an unselected row of the dialog's font), rendered here.
std::vector<std::uint32_t> RenderedRow(const std::wstring& text, int width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -kItemHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const winbase::UniqueHdc dc(::CreateCompatibleDC(nullptr));
    const winbase::UniqueGdiObject bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::win32::FontSpec wanted;
    wanted.pixels = settings::win32::kFontHeight;
    const winbase::UniqueGdiObject font = ui::win32::MakeFont(wanted, 96);
    {
        const winbase::ScopedSelect useBitmap(dc.get(), bitmap.get());
        const winbase::ScopedSelect useFont(dc.get(), font.get());
        RECT row{0, 0, width, kItemHeight};
        ::FillRect(dc.get(), &row, ::GetSysColorBrush(COLOR_WINDOW));
        ::SetBkMode(dc.get(), TRANSPARENT);
        ::SetTextColor(dc.get(), ::GetSysColor(COLOR_WINDOWTEXT));
        ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &row,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::GdiFlush();
    }
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * kItemHeight);
    for (auto& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// A title in a script Arial lacks draws with its glyphs (the system's font linking), not as
// empty boxes: the row on the screen is the title's own rendering and no box's.
TEST_F(SettingsProcess, ATitleInAnyScriptDrawsWithItsGlyphs) {
    WriteFile(tessels.path() + L"\\東京.tsl", "a Tessel's bytes are not read here");
    Open();
    const int row = RowOf(id::kTessels, "東京");
    RECT client{};
    ::GetClientRect(Control(id::kTessels), &client);
    POINT origin{0, 0};
    ::ClientToScreen(Control(id::kTessels), &origin);
    constexpr int kTextLeft = kItemHeight + 1 + 2;  // after the check box, as the list draws
    const int width = client.right - kTextLeft;
    const auto rowPixels = [&](const Screenshot& shot, int at) {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < kItemHeight; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto line = static_cast<std::size_t>(origin.y + at * kItemHeight + y);
                const auto column = static_cast<std::size_t>(origin.x + kTextLeft + x);
                pixels.push_back(shot.pixels[line * static_cast<std::size_t>(shot.width) + column] &
                                 0xFFFFFF);
            }
        }
        return pixels;
    };
    const auto blank = RenderedRow(L"", width);
    const auto glyphs = RenderedRow(L"東京", width);
    const auto boxes = RenderedRow(L"\uE000\uE001", width);  // characters no font has
    ASSERT_NE(glyphs, boxes) << "this machine has no font with the glyphs";
    ASSERT_NE(glyphs, blank);
    Screenshot shot;
    std::vector<std::uint32_t> shown;
    // The row as the title's glyphs render, once the list has drawn it.
    const bool drawn = WaitUntil(
        [&] {
            shot = CaptureScreen();
            shown = rowPixels(shot, row);
            return shown == glyphs;
        },
        10s);
    SaveScreenshot(shot, L"settings-cjk-title");
    EXPECT_TRUE(drawn) << "the row never showed the title's glyphs (settings-cjk-title.bmp)";
    EXPECT_NE(shown, boxes);
}

// The system's colours, as a high-contrast scheme sets them, for one scenario.
class HighContrastColours {
  public:
    HighContrastColours() {
        for (const auto& [name, colour] : kScheme) {
            wchar_t previous[64] = {};
            DWORD bytes = sizeof(previous);
            ::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, previous, &bytes);
            saved_.emplace_back(name, previous);
            Set(name, colour);
        }
    }
    ~HighContrastColours() {
        for (const auto& [name, previous] : saved_) {
            Set(name, previous.c_str());
        }
    }
    HighContrastColours(const HighContrastColours&) = delete;
    HighContrastColours& operator=(const HighContrastColours&) = delete;

    // Black faces and windows, yellow text, as the system's "High Contrast Black".
    static constexpr std::array<std::pair<const wchar_t*, const wchar_t*>, 5> kScheme{{
        {L"ButtonFace", L"0 0 0"},
        {L"Window", L"0 0 0"},
        {L"WindowText", L"255 255 0"},
        {L"ButtonText", L"255 255 0"},
        {L"HotTrackingColor", L"0 255 255"},
    }};

  private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Colors";
    static void Set(const wchar_t* name, const wchar_t* value) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_SZ, value,
                          static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t)));
    }
    std::vector<std::pair<const wchar_t*, std::wstring>> saved_;
};

// With a high-contrast scheme the dialog's faces, lists and text take the system's colours:
// nothing of its text is drawn in a colour of its own on a ground of its own.
TEST_F(SettingsProcess, AHighContrastSchemeColoursTheDialog) {
    const HighContrastColours scheme;
    Open();
    RECT list{};
    ::GetWindowRect(Control(id::kTessels), &list);
    RECT label{};
    ::GetWindowRect(Control(id::kLabel5), &label);
    Screenshot shot;
    const auto yellowIn = [&](const RECT& area) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                count += shot.Near(x, y, {255, 255, 0}) ? 1 : 0;
            }
        }
        return count;
    };
    std::vector<RECT> captions;
    for (const int group : {id::kGroupSavers, id::kGroupTessels, id::kGroupPreshows}) {
        RECT caption{};
        ::GetWindowRect(Control(group), &caption);
        caption.bottom = caption.top + kItemHeight;
        captions.push_back(caption);
    }
    const auto inked = [&](const RECT& area) { return yellowIn(area) > 20; };
    // The dialog paints its controls one after the other: the shot is the first in which
    // each text is yellow, or the last within the bound.
    (void)WaitUntil(
        [&] {
            shot = CaptureScreen();
            return inked(list) && inked(label) &&
                   std::all_of(captions.begin(), captions.end(), inked);
        },
        10s);
    SaveScreenshot(shot, L"settings-high-contrast");
    EXPECT_TRUE(inked(list)) << "the list's rows";
    EXPECT_TRUE(shot.Near(list.right - 10, list.bottom - 10, {0, 0, 0})) << "the list's ground";
    EXPECT_TRUE(shot.Near(label.left - 4, label.top, {0, 0, 0})) << "the dialog's face";
    EXPECT_TRUE(inked(label)) << "a label's text";
    for (std::size_t i = 0; i < captions.size(); ++i) {
        EXPECT_TRUE(inked(captions[i])) << "the caption of group " << i + 1;
    }
}

// A list's rows as a screen reader reads them, from this process: name, role and state of
// each child of the list's accessible object.
struct HeardRow {
    std::string name;
    long role = 0;
    bool checked = false;
    bool operator==(const HeardRow&) const = default;
};

struct Heard {
    std::string listName;
    std::vector<HeardRow> rows;
};

// What a screen reader is given for a window's client area; nullptr without one.
IAccessible* AccessibleOf(HWND window) {
    // Looked up, not linked: the import library and the GUID library both define the
    // interface's id in the 64-bit toolchain.
    static const winbase::SystemLibrary oleacc(L"oleacc.dll");
    const auto fromWindow =
        oleacc.Find<decltype(&::AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    IAccessible* accessible = nullptr;
    if (fromWindow == nullptr ||
        FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                          reinterpret_cast<void**>(&accessible)))) {
        return nullptr;
    }
    return accessible;
}

std::optional<Heard> HearList(HWND list) {
    IAccessible* accessible = AccessibleOf(list);
    if (accessible == nullptr) {
        return std::nullopt;
    }
    const auto text = [](BSTR value) {
        std::string utf8 = value != nullptr ? Utf8(value) : std::string();
        ::SysFreeString(value);
        return utf8;
    };
    Heard heard;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    (void)accessible->get_accName(self, &name);
    heard.listName = text(name);
    long count = 0;
    (void)accessible->get_accChildCount(&count);
    for (long child = 1; child <= count; ++child) {
        VARIANT id{};
        id.vt = VT_I4;
        id.lVal = child;
        HeardRow row;
        BSTR rowName = nullptr;
        (void)accessible->get_accName(id, &rowName);
        row.name = text(rowName);
        VARIANT role{};
        VARIANT state{};
        (void)accessible->get_accRole(id, &role);
        (void)accessible->get_accState(id, &state);
        row.role = role.lVal;
        row.checked = (state.lVal & STATE_SYSTEM_CHECKED) != 0;
        heard.rows.push_back(row);
    }
    accessible->Release();
    return heard;
}

TEST_F(SettingsProcess, AScreenReaderHearsEachRowItsCheckBoxAndItsChange) {
    SetUserValue(L"Tessel", L"Harbour");
    Open();
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    auto heard = HearList(Control(id::kTessels));
    ASSERT_TRUE(heard) << "the list answers WM_GETOBJECT";
    EXPECT_EQ(heard->listName, "Quorvanes™ Photoreels™");
    EXPECT_EQ(heard->rows, (std::vector<HeardRow>{{"Alps", ROLE_SYSTEM_CHECKBUTTON, false},
                                                  {"Harbour", ROLE_SYSTEM_CHECKBUTTON, true}}));
    ToggleRow(id::kTessels, 0);
    heard = HearList(Control(id::kTessels));
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->rows[0], (HeardRow{"Alps", ROLE_SYSTEM_CHECKBUTTON, true}))
        << "after a toggle";
    const auto empty = HearList(Control(id::kSavers));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->listName, "System Screen Savers");
    for (const int picture : {id::kLogo, id::kCustomer}) {
        EXPECT_EQ(Utf8(TextOf(Control(picture))), "Click for more information.")
            << "a picture's name is what it does";
    }
    EXPECT_EQ(Utf8(TextOf(Control(id::kBanner))), "Visit our sponsors.");
    ::CoUninitialize();
}

TEST_F(SettingsProcess, OkStoresTheChoiceAndLeavesExactlyOneTrayProgram) {
    for (const bool trayBefore : {true, false}) {
        EndProcesses(L"QVTIcon.exe");
        ResetConfiguration();
        SetMachineValue(L"TesselsDir", tessels.path());
        SetMachineValue(L"InstallLocation", SiblingPath(L"Quorvanes.scr"));
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaverIsSecure");
        Child oldTray;
        if (trayBefore) {
            SetUserValue(L"TrayIconOn", L"1");
            oldTray = StartProgram(L"\"" + tessels.path() + L"\\QVTIcon.exe\"");
            ASSERT_TRUE(
                WaitUntil([&] { return WindowOf(oldTray.pid, L"Vantrel") != nullptr; }, 20s));
        }
        Open();
        ToggleRow(id::kTessels, RowOf(id::kTessels, "Harbour"));
        ToggleRow(id::kSavers, RowOf(id::kSavers, "Marbles Deluxe"));
        ::SendMessageW(Control(id::kViewTime), CB_SETCURSEL, 3, 0);
        ::SendMessageW(Control(id::kWaitTime), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"5"));
        ::SendMessageW(Control(id::kPasswordCheck), BM_CLICK, 0, 0);
        ::PostMessageW(Control(id::kOk), BM_CLICK, 0, 0);
        ASSERT_EQ(WaitForExit(dialog, 30s), 0u);

        EXPECT_EQ(UserValue(L"Tessel"), L"Harbour");
        EXPECT_EQ(UserValue(L"Saver"), L"\"1QVSet Marbles\"");
        EXPECT_EQ(UserValue(L"ScreenSaverType"), L"1");
        EXPECT_EQ(UserValue(L"RotationEnabled"), L"1");
        EXPECT_EQ(UserValue(L"ViewTime"), L"3");
        EXPECT_EQ(UserValue(L"TrayIconOn"), L"1");
        // Read where the system keeps it: this process's own parameters are cached.
        wchar_t timeout[16] = {};
        DWORD timeoutSize = sizeof(timeout);
        ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveTimeOut",
                       RRF_RT_REG_SZ, nullptr, timeout, &timeoutSize);
        EXPECT_EQ(std::wstring(timeout), L"300");
        wchar_t scrnsave[512] = {};
        ::GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", scrnsave, 512, L"system.ini");
        EXPECT_EQ(std::wstring(scrnsave), ShortPathOf(SiblingPath(L"Quorvanes.scr")));
        wchar_t secure[8] = {};
        DWORD size = sizeof(secure);
        ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaverIsSecure",
                       RRF_RT_REG_SZ, nullptr, secure, &size);
        EXPECT_EQ(std::wstring(secure), L"1");

        if (trayBefore) {
            EXPECT_TRUE(WaitForExit(oldTray, 10s)) << "the old tray program was closed";
        }
        // The dialog has ended, so every program it starts is started. Exactly one tray
        // program is left once it is up with its window: one that met the old one's mutex
        // ends at once, and none left would never show the window.
        EXPECT_TRUE(WaitUntil(
            [] {
                const auto running = ProcessesNamed(L"QVTIcon.exe");
                return running.size() == 1 && WindowOf(running[0], L"Vantrel") != nullptr;
            },
            30s))
            << ProcessesNamed(L"QVTIcon.exe").size() << " tray programs "
            << (trayBefore ? "with" : "without") << " a tray program before";
    }
}

// system.ini made unwritable for as long as the object lives: a folder of that name in its
// place, the file put back afterwards.
class UnwritableSystemIni {
  public:
    UnwritableSystemIni()
        : file_(Folder(::GetWindowsDirectoryW) + L"\\system.ini"), aside_(file_ + L".qv-aside") {
        moved_ = ::MoveFileExW(file_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        made_ = ::CreateDirectoryW(file_.c_str(), nullptr) != FALSE;
    }
    ~UnwritableSystemIni() { Restore(); }
    UnwritableSystemIni(const UnwritableSystemIni&) = delete;
    UnwritableSystemIni& operator=(const UnwritableSystemIni&) = delete;
    [[nodiscard]] bool made() const { return made_; }
    void Restore() {
        if (std::exchange(made_, false)) {
            ::RemoveDirectoryW(file_.c_str());
        }
        if (std::exchange(moved_, false)) {
            ::MoveFileExW(aside_.c_str(), file_.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }

  private:
    std::wstring file_;
    std::wstring aside_;
    bool moved_ = false;
    bool made_ = false;
};

TEST_F(SettingsProcess, AnUnwritableSystemIniIsNamedInOneBoxAndTheDialogStaysForAnotherOk) {
    UnwritableSystemIni blocked;
    ASSERT_TRUE(blocked.made());
    Open();
    ToggleRow(id::kTessels, RowOf(id::kTessels, "Harbour"));
    ::PostMessageW(Control(id::kOk), BM_CLICK, 0, 0);
    const auto box = WaitForMessageBox(dialog.pid, 30s);
    ASSERT_TRUE(box) << "OK reported nothing";
    EXPECT_EQ(box->caption, "Quorvanes");
    EXPECT_EQ(box->text.rfind("These settings could not be stored:", 0), 0u) << box->text;
    EXPECT_NE(box->text.find("(SCRNSAVE.EXE in system.ini): "), std::string::npos) << box->text;
    EXPECT_EQ(box->text.find("the system gave no reason"), std::string::npos)
        << "the system's reason is given: " << box->text;
    EXPECT_EQ(UserValue(L"Tessel"), L"Harbour") << "what could be stored was";
    Answer(*box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box->window); }, 10s));

    // The dialog is still there: once system.ini can be written, OK stores it and closes.
    blocked.Restore();
    ASSERT_TRUE(::IsWindow(window));
    ::PostMessageW(Control(id::kOk), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 30s), 0u);
    EXPECT_EQ(ScrnSave(), ShortPathOf(SiblingPath(L"Quorvanes.scr")));
}

TEST_F(SettingsProcess, CancelStoresNothing) {
    SetUserValue(L"Tessel", L"Alps");
    Open();
    ToggleRow(id::kTessels, RowOf(id::kTessels, "Harbour"));
    ::PostMessageW(Control(id::kCancel), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 20s), 0u);
    EXPECT_EQ(UserValue(L"Tessel"), L"Alps");
    EXPECT_EQ(UserValue(L"TrayIconOn"), L"<missing>");
    EXPECT_TRUE(ProcessesNamed(L"QVTIcon.exe").empty());
}

TEST_F(SettingsProcess, OnWindows98ThePasswordButtonShowsAndOkStoresTheDword) {
    const std::wstring version = L"win98";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kAppDefaults, L"Version", REG_SZ, version.c_str(),
                      static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    Open();
    EXPECT_TRUE(::IsWindowVisible(Control(id::kPasswordButton)));
    EXPECT_FALSE(::IsWindowEnabled(Control(id::kPasswordButton))) << "while the box is clear";
    ::SendMessageW(Control(id::kPasswordCheck), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(Control(id::kPasswordButton)));
    ::PostMessageW(Control(id::kOk), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 30s), 0u);
    DWORD on = 0;
    DWORD size = sizeof(on);
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveUsePassword",
                             RRF_RT_REG_DWORD, nullptr, &on, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(on, 1u);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveUsePassword");
}

// The context menus of the lists: driven with posted mouse messages, the commands given as
// the menu gives them (menus are per process under Wine, so the test does not pick items).
class SettingsMenus : public SettingsProcess {
  protected:
    void SetUp() override {
        SettingsProcess::SetUp();
        record = tessels.path() + L"\\record.txt";
        ::SetEnvironmentVariableW(L"QV_RECORD_FILE", record.c_str());
        saver = Folder(::GetSystemDirectoryW) + L"\\QVSet Rec.scr";
        planted.push_back(saver);
        ASSERT_TRUE(::CopyFileW(SiblingPath(L"RecordingSaver.scr").c_str(), saver.c_str(), FALSE));
        pe::ResourceLibraryLayout harbour;
        harbour.rcdata.push_back({"HARBOURJPEG", testing::MakeJpeg({.width = 64, .height = 48})});
        const auto bytes = pe::WriteResourceLibrary(harbour);
        WriteFile(tessels.path() + L"\\Harbour.tsl", std::string(bytes.begin(), bytes.end()));
    }
    void RightPress(int list, int row, int x = 40) {
        ::PostMessageW(Control(list), WM_RBUTTONDOWN, MK_RBUTTON,
                       MAKELPARAM(x, row * kItemHeight + kItemHeight / 2));
    }
    bool MenuShown(std::chrono::milliseconds limit) {
        return WaitUntil(
            [&] {
                const HWND menu = WindowOf(dialog.pid, L"#32768");
                return menu != nullptr && ::IsWindowVisible(menu);
            },
            limit);
    }
    void CloseMenu() {
        ::PostMessageW(window, WM_CANCELMODE, 0, 0);
        WaitUntil(
            [&] {
                const HWND m = WindowOf(dialog.pid, L"#32768");
                return m == nullptr || !::IsWindowVisible(m);
            },
            5s);
    }
    // A right-click on the row, then the menu's command.
    void Command(int list, int row, int command) {
        RightPress(list, row);
        ASSERT_TRUE(MenuShown(10s));
        CloseMenu();
        ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
    }
    std::string Record() { return ReadFile(record); }
    // The creation time that the started program recorded on its line holding `piece`.
    std::int64_t CreatedAt(const std::string& piece) {
        const std::string all = Record();
        const auto at = all.find(piece);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no line with " << piece << " in " << all;
            return 0;
        }
        const auto end = all.find("\r\n", at);
        const std::string line = all.substr(0, end);
        return std::stoll(line.substr(line.rfind('|') + 1));
    }
    // The system's clock and the processes' creation times may differ by a tick.
    static constexpr std::int64_t kClockSlackMs = 20;

    std::wstring record;
    std::wstring saver;
};

TEST_F(SettingsMenus, ARightClickOnATitleOpensItsMenuAndNowhereElse) {
    ::RemoveDirectoryW((tessels.path() + L"\\Preshows").c_str());
    ::DeleteFileW((tessels.path() + L"\\Preshows\\Intro.exe").c_str());
    ::RemoveDirectoryW((tessels.path() + L"\\Preshows").c_str());
    Open();
    RightPress(id::kTessels, 1);
    EXPECT_TRUE(MenuShown(10s)) << "on a title";
    CloseMenu();
    RightPress(id::kTessels, 1, 10);
    RightPress(id::kTessels, 7);
    RightPress(id::kPreshows, 0);  // "No Preshows Found."
    ::PostMessageW(Control(id::kTessels), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 7));
    EXPECT_FALSE(MenuShown(1500ms))
        << "the check column, below the rows, a placeholder, a left click";
}

TEST_F(SettingsMenus, SettingsStartAtOnceAndPreviewsASecondLaterWithTheirSwitches) {
    Open();
    const int row = RowOf(id::kSavers, "QVSet Rec");
    RightPress(id::kSavers, row);
    ASSERT_TRUE(MenuShown(10s));
    CloseMenu();
    // Both commands at once, the preview's first. Measured by the started processes' own
    // creation times: the settings start before the preview, which waits a second after its
    // command, however busy the machine.
    const std::int64_t given = SystemTimeMs();
    ::PostMessageW(window, WM_COMMAND, menu::kSaverPreview, 0);
    ::PostMessageW(window, WM_COMMAND, menu::kSaverSettings, 0);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Record().find(" /c|") != std::string::npos &&
                   Record().find(" /s|") != std::string::npos;
        },
        30s))
        << Record();
    EXPECT_NE(Record().find(Utf8(ShortPathOf(saver)) + " /c|"), std::string::npos) << Record();
    EXPECT_NE(Record().find(Utf8(ShortPathOf(saver)) + " /s|"), std::string::npos) << Record();
    const std::int64_t settings = CreatedAt(" /c|");
    const std::int64_t preview = CreatedAt(" /s|");
    EXPECT_LT(settings, preview) << "the settings do not wait";
    EXPECT_GE(preview - given, 1000 - kClockSlackMs) << "the preview waits a second first";

    Command(id::kPreshows, 0, menu::kPreshowPreview);
    ASSERT_TRUE(
        WaitUntil([&] { return Record().find("Intro.exe|start") != std::string::npos; }, 10s));
    // Started without arguments: its command line ends with the program's name.
    const std::string line = Record().substr(Record().find("Intro.exe|start|"));
    const std::string command = line.substr(16, line.find('|', 16) - 16);
    EXPECT_TRUE(command.ends_with("Intro.exe") || command.ends_with("Intro.exe\"")) << command;
}

TEST_F(SettingsMenus, ATesselPreviewShowsThatTesselAndTheRotationComesBack) {
    SetUserValue(L"Tessel", L"Alps");
    SetUserValue(L"CurrentTessel", L"Alps");
    Open();
    Command(id::kTessels, RowOf(id::kTessels, "Harbour"), menu::kTesselPreview);
    HWND show = nullptr;
    // Up with a picture, it read Harbour: Alps.tsl holds none (a box, and no window, would
    // say so).
    ASSERT_TRUE(WaitUntil(
        [&] {
            show = ::FindWindowW(L"QuorvanesShow", nullptr);
            return show != nullptr && ::IsWindowVisible(show);
        },
        30s))
        << "the saver host's Tessel preview";
    DWORD showPid = 0;
    ::GetWindowThreadProcessId(show, &showPid);
    Child showProcess{winbase::UniqueHandleKernel(::OpenProcess(SYNCHRONIZE, FALSE, showPid)),
                      showPid};
    EXPECT_TRUE(WaitUntil(
        [&] { return UserValue(L"Tessel") == L"Alps" && UserValue(L"CurrentTessel") == L"Alps"; },
        30s))
        << "the stored rotation is back";
    EXPECT_FALSE(WaitForExit(showProcess, 0ms)) << "back while the show is still up";
    ::PostMessageW(show, WM_KEYDOWN, VK_SPACE, 0);
    // The show holds Harbour.tsl open; the next scenario's folder must not lose its new copy
    // when that handle closes.
    EXPECT_TRUE(WaitForExit(showProcess, 20s)) << "the show ends on a key";
}

// The preview started with a saver host that takes three seconds to read the values (as the
// real one may on a busy machine).
class SettingsSlowPreview : public SettingsMenus {
  protected:
    void SetUp() override {
        SettingsMenus::SetUp();
        SetMachineValue(L"InstallLocation", SiblingPath(L"SlowShow.exe"));
        ::SetEnvironmentVariableW(L"QV_SLOW_SHOW_MS", L"3000");
        ::SetEnvironmentVariableW(L"QV_SLOW_SHOW_HOLD_MS", L"2000");
        SetUserValue(L"Tessel", L"Alps");
        SetUserValue(L"CurrentTessel", L"Alps");
        SetUserValue(L"RotationEnabled", L"1");
    }
    void TearDown() override {
        SettingsMenus::TearDown();
        EndProcesses(L"SlowShow.exe");
        ::SetEnvironmentVariableW(L"QV_SLOW_SHOW_MS", nullptr);
        ::SetEnvironmentVariableW(L"QV_SLOW_SHOW_HOLD_MS", nullptr);
    }
    bool UsersRotationBack() {
        return WaitUntil(
            [] {
                return UserValue(L"Tessel") == L"Alps" && UserValue(L"CurrentTessel") == L"Alps" &&
                       UserValue(L"RotationEnabled") == L"1";
            },
            30s);
    }
    bool ShowEnded() {
        return WaitUntil([&] { return Record().find("slowshow|end") != std::string::npos; }, 40s);
    }
};

TEST_F(SettingsSlowPreview, ASlowShowStillReadsThePreviewsValuesAndTheRotationComesBack) {
    Open();
    Command(id::kTessels, RowOf(id::kTessels, "Harbour"), menu::kTesselPreview);
    ASSERT_TRUE(
        WaitUntil([&] { return Record().find("slowshow|read|") != std::string::npos; }, 30s))
        << Record();
    EXPECT_NE(Record().find("slowshow|read|\"Harbour\"|Harbour|0\r\n"), std::string::npos)
        << Record();
    EXPECT_TRUE(UsersRotationBack()) << "Tessel " << Utf8(UserValue(L"Tessel"));
}

TEST_F(SettingsSlowPreview, ASecondPreviewWhileOneRunsIsRefusedAndTheRotationSurvives) {
    Open();
    Command(id::kTessels, RowOf(id::kTessels, "Harbour"), menu::kTesselPreview);
    Command(id::kTessels, RowOf(id::kTessels, "Alps"), menu::kTesselPreview);
    const auto refused = WaitForMessageBox(dialog.pid, 10s);
    ASSERT_TRUE(refused) << "the refused preview is told";
    EXPECT_EQ(refused->text, "A Tessel preview is still starting. Try again when it has appeared.");
    EXPECT_EQ(::GetWindow(refused->window, GW_OWNER), window);
    Answer(*refused, IDOK);
    EXPECT_TRUE(UsersRotationBack()) << "Tessel " << Utf8(UserValue(L"Tessel"));
    ASSERT_TRUE(ShowEnded()) << Record();
    const std::string lines = Record();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3)
        << "one show only: started, read, ended\n"
        << lines;
    EXPECT_NE(Record().find("slowshow|read|\"Harbour\"|Harbour|0\r\n"), std::string::npos)
        << Record();
}

// A delete while a Tessel preview holds the rotation: the preview is settled first, so what
// is stored is the user's own list without the deleted title, with its first title as the
// current one, as the same delete makes without a preview. Here the store writes the value
// the preview wrote ("Harbour" current), so a preview still out would take it for its own
// and put the user's old current title back, one the stored list no longer holds.
TEST_F(SettingsSlowPreview, ADeleteWhileThePreviewIsOutStoresTheUsersListLessTheTitle) {
    const std::wstring paris = tessels.path() + L"\\Paris.tsl";
    WriteFile(paris, "a Tessel's bytes are not read here");
    SetUserValue(L"Tessel", L"Harbour,Paris");
    Open();
    Command(id::kTessels, RowOf(id::kTessels, "Harbour"), menu::kTesselPreview);
    ASSERT_TRUE(WaitUntil([] { return UserValue(L"CurrentTessel") == L"Harbour"; }, 20s))
        << "the preview's values are out";
    Command(id::kTessels, RowOf(id::kTessels, "Paris"), menu::kTesselDelete);
    const auto box = WaitForMessageBox(dialog.pid, 10s);
    ASSERT_TRUE(box);
    Answer(*box, IDOK);
    ASSERT_TRUE(WaitUntil(
        [&] { return ::GetFileAttributesW(paris.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10s));
    ASSERT_TRUE(ShowEnded()) << Record();
    const auto stored = [] { return Utf8(UserValue(L"Tessel")); };
    EXPECT_TRUE(WaitUntil([&] { return stored().find("Harbour") != std::string::npos; }, 10s));
    EXPECT_EQ(stored().find("Paris"), std::string::npos) << "stored: " << stored();
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"Harbour") << "the stored list's first title";
    EXPECT_EQ(UserValue(L"RotationEnabled"), L"1");
    EXPECT_EQ(RowsOf(Control(id::kTessels)),
              (std::vector<Row>{{"Alps", false}, {"Harbour", true}}));
}

TEST_F(SettingsSlowPreview, AnOkWhileThePreviewIsOutIsKept) {
    Open();
    ToggleRow(id::kTessels, RowOf(id::kTessels, "Alps"));  // cleared
    ToggleRow(id::kTessels, RowOf(id::kTessels, "Harbour"));
    Command(id::kTessels, RowOf(id::kTessels, "Harbour"), menu::kTesselPreview);
    ASSERT_TRUE(WaitUntil([] { return UserValue(L"CurrentTessel") == L"Harbour"; }, 20s))
        << "the preview's values are out";
    ::PostMessageW(Control(id::kOk), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 30s), 0u);
    ASSERT_TRUE(ShowEnded()) << Record();
    EXPECT_EQ(UserValue(L"Tessel"), L"Harbour");
    EXPECT_EQ(UserValue(L"CurrentTessel"), L"Harbour") << "OK's choice, written over";
    EXPECT_EQ(UserValue(L"RotationEnabled"), L"0");
}

// With real input: a click on a row's text selects it, the Apps key and Shift+F10 open its
// menu at the row, and the menu's items work with the arrows and Enter.
TEST_F(SettingsMenus, TheKeyboardOpensARowsMenuAndStartsAPreview) {
    SetUserValue(L"Tessel", L"Alps");
    Open();
    const int harbour = RowOf(id::kTessels, "Harbour");
    RECT list{};
    ::GetWindowRect(Control(id::kTessels), &list);
    const int x = list.left + 60;
    const int y = list.top + 2 + harbour * kItemHeight + kItemHeight / 2;
    ASSERT_TRUE(PointerTo(x, y));
    ASSERT_TRUE(XdoTool("click 1"));
    ASSERT_TRUE(WaitUntil(
        [&] { return ::SendMessageW(Control(id::kTessels), LB_GETCURSEL, 0, 0) == harbour; }, 10s))
        << "a click on the text selects the row";
    EXPECT_EQ(RowsOf(Control(id::kTessels))[static_cast<std::size_t>(harbour)].checked, false)
        << "and leaves its check box";

    ASSERT_TRUE(XdoTool("key Menu"));
    ASSERT_TRUE(MenuShown(10s)) << "the Apps key";
    const HWND menu = WindowOf(dialog.pid, L"#32768");
    RECT at{};
    ::GetWindowRect(menu, &at);
    EXPECT_NEAR(at.top, list.top + 2 + (harbour + 1) * kItemHeight, kItemHeight) << "at the row";
    ASSERT_TRUE(XdoTool("key Escape"));
    CloseMenu();

    ASSERT_TRUE(XdoTool("key shift+F10"));
    ASSERT_TRUE(MenuShown(10s)) << "Shift+F10";
    ASSERT_TRUE(XdoTool("key Down Return"));  // "Preview", the first item
    HWND show = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            show = ::FindWindowW(L"QuorvanesShow", nullptr);
            return show != nullptr && ::IsWindowVisible(show);
        },
        20s))
        << "the Tessel preview, started with the keyboard alone";
    // Up with a picture, it read Harbour: Alps.tsl holds none. The values may be back
    // already: they come back once the show has a window.
    DWORD showPid = 0;
    ::GetWindowThreadProcessId(show, &showPid);
    Child showProcess{winbase::UniqueHandleKernel(::OpenProcess(SYNCHRONIZE, FALSE, showPid)),
                      showPid};
    ::PostMessageW(show, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(WaitForExit(showProcess, 10s));
    EXPECT_TRUE(WaitUntil([&] { return UserValue(L"Tessel") == L"Alps"; }, 10s))
        << "the rotation is back: " << winbase::Narrow(UserValue(L"Tessel"));
}

// Real input on a list and the controls: a click on a row's check box toggles it, Space
// toggles the current row, a right click opens the row's menu, and Tab walks the controls
// that take the focus (shown and enabled) in the layout table's order, round to the start.
TEST_F(SettingsMenus, RealClicksAndKeysToggleRowsOpenTheMenuAndTabInTheTablesOrder) {
    SetUserValue(L"Tessel", L"Alps");
    Open();
    const auto harbour = static_cast<std::size_t>(RowOf(id::kTessels, "Harbour"));
    const auto harbourChecked = [&] { return RowsOf(Control(id::kTessels))[harbour].checked; };
    RECT list{};
    ::GetWindowRect(Control(id::kTessels), &list);
    ASSERT_TRUE(
        PointerTo(list.left + 2 + kItemHeight / 2,
                  list.top + 2 + static_cast<int>(harbour) * kItemHeight + kItemHeight / 2));
    ASSERT_TRUE(XdoTool("click 1"));
    EXPECT_TRUE(WaitUntil(harbourChecked, 10s)) << "a click on the check box";
    ASSERT_TRUE(XdoTool("key space"));
    EXPECT_TRUE(WaitUntil([&] { return !harbourChecked(); }, 10s)) << "Space on the current row";
    ASSERT_TRUE(XdoTool("mousemove_relative 60 0 click 3"));  // on the row's text
    ASSERT_TRUE(MenuShown(10s)) << "a right click";
    ASSERT_TRUE(XdoTool("key Escape"));
    CloseMenu();

    std::vector<int> order;
    for (const ControlLayout& control : kControls) {
        const HWND child = ::GetDlgItem(window, control.id);
        if ((::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0 && ::IsWindowVisible(child) &&
            ::IsWindowEnabled(child)) {
            order.push_back(control.id);
        }
    }
    const auto start = std::find(order.begin(), order.end(), id::kTessels);
    ASSERT_NE(start, order.end());
    std::rotate(order.begin(), start, order.end());
    order.push_back(id::kTessels);
    // The focus read from outside: the dialog's thread's focus window.
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    const auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return ::GetGUIThreadInfo(thread, &info) != FALSE ? ::GetDlgCtrlID(info.hwndFocus) : 0;
    };
    ASSERT_EQ(focused(), id::kTessels) << "the clicked list has the focus";
    for (std::size_t k = 1; k < order.size(); ++k) {
        ASSERT_TRUE(XdoTool("key Tab"));
        ASSERT_TRUE(WaitUntil([&] { return focused() == order[k]; }, 5s))
            << "Tab " << k << " reached control " << focused() << ", not " << order[k];
    }
}

// Cancel changes nothing; Yes removes the file and its stored entry, here of a title
// outside ASCII that the list stores in another case.
TEST_F(SettingsMenus, DeleteAnsweredCancelChangesNothingAndYesRemovesFileAndEntry) {
    const std::wstring paris = tessels.path() + L"\\Été à Paris.tsl";
    WriteFile(paris, "a Tessel's bytes are not read here");
    SetUserValue(L"Tessel", L"Alps,Harbour,\"été à paris\"");
    Open();
    Command(id::kTessels, RowOf(id::kTessels, "Harbour"), menu::kTesselDelete);
    auto box = WaitForMessageBox(dialog.pid, 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(
        box->text,
        "This action will delete 'Harbour' from your system.  Are you sure you want to proceed?");
    EXPECT_EQ(Utf8(TextOf(::GetDlgItem(box->window, IDOK))), "&Yes");
    EXPECT_EQ(::GetDlgItem(box->window, IDNO), nullptr) << "Yes and Cancel only";
    // The box is the dialog's own: in front of it, and the dialog takes no second Delete, OK
    // or launch while it is up.
    EXPECT_EQ(::GetWindow(box->window, GW_OWNER), window);
    EXPECT_FALSE(::IsWindowEnabled(window));
    Answer(*box, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }, 5s));

    Command(id::kTessels, RowOf(id::kTessels, "Été à Paris"), menu::kTesselDelete);
    box = WaitForMessageBox(dialog.pid, 10s);
    ASSERT_TRUE(box);
    // The dialog has taken the next command: whatever Cancel did is done.
    EXPECT_NE(::GetFileAttributesW((tessels.path() + L"\\Harbour.tsl").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(UserValue(L"Tessel"), L"Alps,Harbour,\"été à paris\"");
    EXPECT_EQ(box->text,
              "This action will delete 'Été à Paris' from your system.  Are you sure you want to "
              "proceed?");
    Answer(*box, IDOK);
    ASSERT_TRUE(WaitUntil(
        [&] { return ::GetFileAttributesW(paris.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10s));
    EXPECT_TRUE(WaitUntil([&] { return UserValue(L"Tessel") == L"Alps,Harbour"; }, 5s))
        << "the list's other marks stay stored: " << Utf8(UserValue(L"Tessel"));
    EXPECT_EQ(RowsOf(Control(id::kTessels)), (std::vector<Row>{{"Alps", true}, {"Harbour", true}}));
}

// Web addresses go to a recording program: the prefix's http and https handler for the test
// (the classes of the machine, where Wine's shell looks; put back afterwards).
class SettingsLinks : public SettingsMenus {
  protected:
    void SetUp() override {
        SettingsMenus::SetUp();
        const std::wstring command = L"\"" + SiblingPath(L"RecordingPreshow.exe") + L"\" \"%1\"";
        for (const wchar_t* scheme : {L"http", L"https"}) {
            const std::wstring key = Handler(scheme);
            wchar_t previous[512] = {};
            DWORD size = sizeof(previous);
            ::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                           previous, &size);
            saved.emplace_back(key, previous);
            ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, command.c_str(),
                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        }
        // A scheme that is no web address, which the shell would open all the same.
        const std::wstring other = L"Software\\Classes\\qvother";
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, other.c_str(), L"URL Protocol", REG_SZ, L"",
                          sizeof(wchar_t));
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, Handler(L"qvother").c_str(), nullptr, REG_SZ,
                          command.c_str(),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    void TearDown() override {
        SettingsMenus::TearDown();
        for (const auto& [key, previous] : saved) {
            ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, previous.c_str(),
                              static_cast<DWORD>((previous.size() + 1) * sizeof(wchar_t)));
        }
    }
    static std::wstring Handler(const wchar_t* scheme) {
        return std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
    }
    std::vector<std::pair<std::wstring, std::wstring>> saved;

    bool Opened(const std::string& address) {
        return WaitUntil([&] { return Record().find(address) != std::string::npos; }, 15s);
    }
    void Click(HWND control) {
        ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    // Nothing of `address` is opened from the record's `from` on, told once a later click's
    // address has been (the shell starts the handlers in order).
    bool NotOpenedSince(std::size_t from, const std::string& address, HWND laterClick,
                        const std::string& later) {
        Click(laterClick);
        if (!WaitUntil([&] { return Record().find(later, from) != std::string::npos; }, 15s)) {
            return false;
        }
        // A handler started before the later one's has written its line once it has ended.
        (void)WaitUntil([] { return ProcessesNamed(L"RecordingPreshow.exe").empty(); }, 15s);
        return Record().find(address, from) == std::string::npos;
    }
};

TEST_F(SettingsLinks, TheLogoThePictureAndTheEmailButtonOpenTheirAddresses) {
    Open();
    Click(Control(id::kLogo));
    EXPECT_TRUE(Opened("https://quorvanes.example.com/")) << Record();
    Click(Control(id::kCustomer));
    EXPECT_TRUE(Opened("https://quorvanes.example.com/info")) << "no CustInfo.dll: the default";
    ::PostMessageW(Control(id::kEmailList), BM_CLICK, 0, 0);
    EXPECT_TRUE(Opened("https://quorvanes.example.com/email-list"));
    ::PostMessageW(Control(id::kCancel), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 20s), 0u);

    pe::ResourceLibraryLayout branding;
    branding.rcdata.push_back({"CUSTOMER", testing::MakeJpeg({.width = 160, .height = 80})});
    branding.strings[1] = "https://distributor.example/welcome";
    const auto bytes = pe::WriteResourceLibrary(branding);
    WriteFile(tessels.path() + L"\\CustInfo.dll", std::string(bytes.begin(), bytes.end()));
    Open();
    Click(Control(id::kCustomer));
    EXPECT_TRUE(Opened("https://distributor.example/welcome")) << "CustInfo.dll's string 1";
    // A press on the bare dialog released over the logo is no click.
    const std::size_t before = Record().size();
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 250));
    ::PostMessageW(Control(id::kLogo), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(300, 250));
    EXPECT_TRUE(NotOpenedSince(before, "https://quorvanes.example.com/", Control(id::kCustomer),
                               "https://distributor.example/welcome"))
        << Record();
    ::PostMessageW(Control(id::kCancel), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForExit(dialog, 20s), 0u);

    // A library in the Tessels folder that names an address which is no web address.
    branding.strings[1] = "qvother://run-something";
    const auto other = pe::WriteResourceLibrary(branding);
    WriteFile(tessels.path() + L"\\CustInfo.dll", std::string(other.begin(), other.end()));
    Open();
    const std::size_t opened = Record().size();
    Click(Control(id::kCustomer));
    EXPECT_TRUE(
        NotOpenedSince(opened, "qvother:", Control(id::kLogo), "https://quorvanes.example.com/"))
        << Record();
}

TEST_F(SettingsLinks, HelpOpensFromGetHelpAndClosesWithOkEnterAndItsCloseBox) {
    Open();
    ToggleRow(id::kTessels, RowOf(id::kTessels, "Alps"));  // state the dialog must keep
    const auto openHelp = [&] {
        ::PostMessageW(Control(id::kHelp), BM_CLICK, 0, 0);
        HWND help = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                return (help = WindowOf(dialog.pid, L"QuorvanesHelp")) && ::IsWindowVisible(help);
            },
            10s));
        return help;
    };
    HWND help = openHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(Utf8(TextOf(help)), "Help");
    RECT client{};
    ::GetClientRect(help, &client);
    EXPECT_EQ(client.right, 367);
    EXPECT_EQ(client.bottom, 410);
    EXPECT_FALSE(::IsWindowEnabled(window)) << "modal over the settings";
    SaveScreenshot(CapturePainted(help), L"help-dialog");
    const std::string text = Utf8(ControlText(::GetDlgItem(help, 3001)));
    EXPECT_EQ(text.rfind("Quorvanes(TM) Manager Help", 0), 0u);
    for (const char* heading :
         {"1- Automatic Rotation", "2- Instant Start Tray Icon", "3- Hyperlinked Images",
          "AUTOMATIC ROTATION-SETTINGS", "INSTANT START TRAY ICON", "BUILT-IN HYPERLINKS",
          "CLOSING A SCREEN SAVER", "SETTINGS AND PREVIEW", "TURNING THE MANAGER ON/OFF",
          "REMOVING THE  MANAGER SOFTWARE", "COMMONLY ASKED QUESTIONS:"}) {
        EXPECT_NE(text.find(heading), std::string::npos) << heading;
    }
    Click(::GetDlgItem(help, 3003));
    EXPECT_TRUE(Opened("https://quorvanes.example.com/")) << "the help dialog's link";

    const std::function<void(HWND)> closes[] = {
        [](HWND h) { ::PostMessageW(::GetDlgItem(h, IDOK), BM_CLICK, 0, 0); },
        [](HWND h) { ::PostMessageW(h, WM_KEYDOWN, VK_RETURN, 0); },
        [](HWND h) { ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& close : closes) {
        if (help == nullptr) {
            help = openHelp();
        }
        close(help);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(help); }, 10s));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }, 5s));
        help = nullptr;
    }
    EXPECT_EQ(RowsOf(Control(id::kTessels))[0], (Row{"Alps", true}))
        << "the settings keep their state";
}

// The settings window on a thread of this process, for what only its own process can read
// (a message's rectangle, a control's printing). The end closes it and waits for the thread
// while this thread answers what the window sends it; a window that does not end within the
// bound is a failure that names what this process shows, and the thread is left to the
// process's end, with what it uses.
class OptionsOnAThread {
  public:
    OptionsOnAThread()
        : thread_([](const platform::Platform& platform) {
              settings::win32::OptionsWindow options(
                  ::GetModuleHandleW(nullptr), platform,
                  [](platform::Dialogs& boxes, HINSTANCE instance, HWND parent, int id) {
                      return adbanner::win32::MakeAdImage(boxes, instance, parent, id, {});
                  });
              (void)options.Run();
          }) {
        up_ = WaitUntil(
            [&] {
                window_ = WindowOf(::GetCurrentProcessId(), settings::win32::kOptionsWindowClass);
                return window_ != nullptr && ::IsWindowVisible(window_);
            },
            30s);
    }
    OptionsOnAThread(const OptionsOnAThread&) = delete;
    OptionsOnAThread& operator=(const OptionsOnAThread&) = delete;
    ~OptionsOnAThread() {
        if (window_ != nullptr) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);  // Cancel: the dialog ends, and its thread
        }
        EXPECT_TRUE(thread_.WaitForEnd(30s))
            << "the settings window did not end; this process shows: "
            << VisibleWindowsOfThisProcess();
    }
    [[nodiscard]] bool up() const { return up_; }
    [[nodiscard]] HWND window() const { return window_; }

  private:
    static BOOL CALLBACK AddIfVisibleHere(HWND window, LPARAM into) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window)) {
            wchar_t text[256] = {};
            ::GetWindowTextW(window, text, 256);
            *reinterpret_cast<std::string*>(into) += "[" + winbase::Narrow(text) + "] ";
        }
        return TRUE;
    }
    static std::string VisibleWindowsOfThisProcess() {
        std::string shown;
        ::EnumWindows(AddIfVisibleHere, reinterpret_cast<LPARAM>(&shown));
        return shown;
    }
    InProcessThread thread_;
    HWND window_ = nullptr;
    bool up_ = false;
};

// What a screen reader calls a control: the name of its client object.
std::string HeardName(HWND control) {
    IAccessible* accessible = AccessibleOf(control);
    if (accessible == nullptr) {
        return "<no accessible object>";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT asked = accessible->get_accName(self, &name);
    accessible->Release();
    std::string heard = SUCCEEDED(asked) && name != nullptr ? Utf8(name) : "<no name>";
    ::SysFreeString(name);
    return heard;
}

// Every child of a dialog declared by a table is either a kit window of one of its rows or
// a system control the kit's walk made for a row (or a row's second window: spin arrows, a
// browse button), of the class the row's kind gives; and a screen reader hears each row's
// name as the table gives it (a button's without the "&" of its access key).
void ExpectTheTableMadeEveryControl(HWND dialog, const ui::win32::DialogTable& table) {
    const auto rowOf = [&](int id) -> const ControlLayout* {
        for (const ControlLayout& row : table.controls) {
            if (row.id == id) {
                return &row;
            }
        }
        return nullptr;
    };
    const auto isPartner = [&](int id) {
        return std::any_of(table.controls.begin(), table.controls.end(),
                           [id](const ControlLayout& row) { return row.partner == id; });
    };
    int children = 0;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT), ++children) {
        const int id = ::GetDlgCtrlID(child);
        const ControlLayout* row = rowOf(id);
        if (ui::win32::Window::FromHandle(child) != nullptr) {
            EXPECT_TRUE(row != nullptr && row->kind == ControlKind::Window)
                << "a kit window of a row of kind Window, id " << id;
            continue;
        }
        if (isPartner(id)) {
            continue;
        }
        ASSERT_NE(row, nullptr) << "a child no row made: " << Utf8(ClassOf(child)) << " " << id;
        EXPECT_NE(row->kind, ControlKind::Window) << row->name << " is a system control";
        EXPECT_EQ(ClassOf(child), ExpectedClass(*row)) << row->name;
    }
    EXPECT_GE(children, static_cast<int>(table.controls.size()));
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    for (const ControlLayout& row : table.controls) {
        std::string wanted(ui::win32::AccessibleNameOf(row));
        std::erase(wanted, '&');
        EXPECT_EQ(HeardName(::GetDlgItem(dialog, row.id)), wanted) << row.name;
    }
    ::CoUninitialize();
}

TEST_F(SettingsProcess, BothDialogsAreTheirTablesForTheEyeAndTheScreenReader) {
    const OptionsOnAThread options;
    ASSERT_TRUE(options.up());
    ExpectTheTableMadeEveryControl(options.window(), OptionsWindow::Layout());

    const HWND help = OpenedBy(::GetDlgItem(options.window(), id::kHelp), ::GetCurrentProcessId(),
                               kHelpDialogClass);
    ASSERT_NE(help, nullptr);
    ExpectTheTableMadeEveryControl(help, HelpDialog::Layout());
    ::PostMessageW(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(help); }, 10s));
}

// The window moved to a screen of another density (WM_DPICHANGED): run in this process, so
// that the message's rectangle is the window's to read, and moved to 144 DPI and back.
TEST_F(SettingsProcess, WmDpiChangedLaysTheWindowOutAgainAtTheNewDensity) {
    const OptionsOnAThread inProcess;
    ASSERT_TRUE(inProcess.up()) << "the settings window did not come up in this process";
    HWND options = inProcess.window();
    RECT frame{};
    RECT client{};
    ::GetWindowRect(options, &frame);
    ::GetClientRect(options, &client);
    const int borderX = (frame.right - frame.left) - client.right;
    const int borderY = (frame.bottom - frame.top) - client.bottom;
    RECT suggested{frame.left, frame.top, frame.left + kClientAt144.cx + borderX,
                   frame.top + kClientAt144.cy + borderY};
    ::SendMessageW(options, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    ExpectPlacesAt144(options);

    ::SendMessageW(options, 0x02E0, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
    ::GetClientRect(options, &client);
    EXPECT_EQ(client.right, 622);
    EXPECT_EQ(client.bottom, 438);
    const RECT ok = ClientRectOf(::GetDlgItem(options, id::kOk));
    EXPECT_EQ(ok.left, 508);
    EXPECT_EQ(ok.top, 379);
    EXPECT_EQ(ok.right - ok.left, 75);
    EXPECT_EQ(ok.bottom - ok.top, 25);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(options, id::kSavers), LB_GETITEMHEIGHT, 0, 0), 15);
}

// The rows of a control that its own painting inks (dark pixels), printed in this process.
std::vector<int> InkedRows(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    winbase::UniqueHdc memory;
    winbase::UniqueGdiObject bitmap;
    {
        const winbase::WindowDc screen(nullptr);
        memory.reset(::CreateCompatibleDC(screen.get()));
        bitmap.reset(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    }
    const winbase::ScopedSelect selected(memory.get(), bitmap.get());
    ::FillRect(memory.get(), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()),
                          PRF_CLIENT, SMTO_ABORTIFHUNG, 10000, &answer);
    std::vector<int> rows;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            if (GetRValue(::GetPixel(memory.get(), x, y)) < 128) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

// Label2's two lines stand in the middle of its height (look::kMiddle in the layout table),
// wherever the window puts the static control that draws them.
TEST_F(SettingsProcess, Label2sLinesStandInTheMiddleOfItsHeight) {
    std::vector<int> rows;
    RECT control{};
    {
        const OptionsOnAThread inProcess;
        ASSERT_TRUE(inProcess.up()) << "the settings window did not come up in this process";
        rows = InkedRows(::GetDlgItem(inProcess.window(), id::kLabel2));
        control = ClientRectOf(::GetDlgItem(inProcess.window(), id::kLabel2));
    }
    ASSERT_FALSE(rows.empty()) << "Label2 printed no text";
    // Within Label2's place in the layout table (12, 18, 393, 33 at 96 DPI).
    constexpr int kTop = 18;
    constexpr int kHeight = 33;
    const int above = control.top + rows.front() - kTop;
    const int below = kTop + kHeight - 1 - (control.top + rows.back());
    EXPECT_LE(std::abs(above - below), 2)
        << above << " rows above the text, " << below << " below, in " << kHeight;
}

// The picture show's choices as the dialog shows them: PictureSize's two, Monitors' three,
// the crossfade.
using PictureShowChecks = std::array<bool, 6>;
PictureShowChecks ChecksOf(HWND picture) {
    namespace ps = picture_show::id;
    PictureShowChecks checks{};
    std::size_t k = 0;
    for (const int choice : {ps::kOwnSize, ps::kFillMonitor, ps::kPrimaryOnly, ps::kSameOnEach,
                             ps::kNextOnEach, ps::kCrossfade}) {
        checks[k++] =
            ::SendMessageW(::GetDlgItem(picture, choice), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    return checks;
}

// With the keyboard alone: Alt+S opens the picture show's choices over the settings, their
// access keys pick them, Escape there keeps what it opened with, Enter takes the choice;
// the settings' OK (Alt+O) stores the three as text, their Cancel (Alt+C) stores nothing
// even after the small dialog's OK.
TEST_F(SettingsProcess, ThePictureShowsChoicesByKeyboardAreStoredAtOkAndNeverAtCancel) {
    SetUserValue(L"Monitors", L"1");
    const auto openPictureShow = [&] {
        EXPECT_TRUE(XdoTool("key alt+s"));
        HWND picture = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                return (picture = WindowOf(dialog.pid, kPictureShowDialogClass)) &&
                       ::IsWindowVisible(picture);
            },
            10s))
            << "Alt+S opened no picture show dialog";
        return picture;
    };
    const auto press = [&](HWND picture, const std::string& keys, const PictureShowChecks& then) {
        EXPECT_TRUE(XdoTool("key " + keys));
        EXPECT_TRUE(WaitUntil([&] { return ChecksOf(picture) == then; }, 10s)) << keys;
    };
    const auto closeBy = [&](HWND picture, const char* key) {
        EXPECT_TRUE(XdoTool(std::string("key ") + key));
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(picture); }, 10s)) << key;
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }, 5s));
    };
    Open();
    RECT title{};
    ::GetWindowRect(Control(id::kLabel5), &title);
    ASSERT_TRUE(PointerTo(title.left + 4, title.top + 4));
    ASSERT_TRUE(XdoTool("click 1"));  // the settings window takes the keys

    HWND picture = openPictureShow();
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(window)) << "modal over the settings";
    EXPECT_EQ(Utf8(TextOf(picture)), "Picture show");
    const PictureShowChecks stored{true, false, false, true, false, false};
    EXPECT_EQ(ChecksOf(picture), stored) << "what is stored, the defaults for the rest";
    press(picture, "alt+f alt+n alt+b", {false, true, false, false, true, true});
    closeBy(picture, "Escape");

    picture = openPictureShow();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(ChecksOf(picture), stored) << "Escape kept the choice the dialog opened with";
    press(picture, "alt+f alt+n alt+b", {false, true, false, false, true, true});
    ::SendMessageW(::GetDlgItem(picture, picture_show::id::kNextOnEach), BM_CLICK, 0, 0);
    EXPECT_EQ(ChecksOf(picture)[4], true) << "a click on the checked choice keeps it";
    closeBy(picture, "Return");
    EXPECT_EQ(UserValue(L"PictureSize"), L"<missing>") << "stored only at the settings' OK";
    ASSERT_TRUE(XdoTool("key alt+o"));
    ASSERT_EQ(WaitForExit(dialog, 30s), 0u);
    EXPECT_EQ(UserValue(L"PictureSize"), L"1");
    EXPECT_EQ(UserValue(L"Monitors"), L"2");
    EXPECT_EQ(UserValue(L"Crossfade"), L"1");

    Open();
    ::GetWindowRect(Control(id::kLabel5), &title);
    ASSERT_TRUE(PointerTo(title.left + 4, title.top + 4));
    ASSERT_TRUE(XdoTool("click 1"));
    picture = openPictureShow();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(ChecksOf(picture), (PictureShowChecks{false, true, false, false, true, true}))
        << "the dialog opens with what was stored";
    press(picture, "alt+z alt+p alt+b", {true, false, true, false, false, false});
    closeBy(picture, "Return");
    ASSERT_TRUE(XdoTool("key alt+c"));
    ASSERT_EQ(WaitForExit(dialog, 30s), 0u);
    EXPECT_EQ(UserValue(L"PictureSize"), L"1") << "the settings' Cancel stored nothing";
    EXPECT_EQ(UserValue(L"Monitors"), L"2");
    EXPECT_EQ(UserValue(L"Crossfade"), L"1");
}

// Each text of the rows of these kinds fits its control at the window's density: a check
// box's beside its box, a button's within its edges, a group's caption along its top.
void ExpectTextsFit(HWND dialog, ui::win32::ControlTable table, UINT dpi) {
    const auto scaled = [dpi](int value) { return ::MulDiv(value, static_cast<int>(dpi), 96); };
    for (const ControlLayout& row : table) {
        int room = 0;  // what the control keeps for itself across
        if (row.kind == ControlKind::CheckBox) {
            room = scaled(18);
        } else if (row.kind == ControlKind::Button) {
            room = scaled(8);
        } else if (row.kind == ControlKind::GroupBox) {
            room = scaled(16);
        } else {
            continue;
        }
        const HWND control = ::GetDlgItem(dialog, row.id);
        std::wstring text = winbase::Widen(row.text);
        std::erase(text, L'&');
        const winbase::WindowDc dc(control);
        const winbase::ScopedSelect font(
            dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        const RECT rect = ClientRectOf(control);
        EXPECT_GT(extent.cx, scaled(3) * static_cast<int>(text.size())) << row.name << ": no font";
        EXPECT_LE(extent.cx + room, rect.right - rect.left) << row.name << " at " << dpi;
        if (row.kind != ControlKind::GroupBox) {
            EXPECT_LE(extent.cy, rect.bottom - rect.top) << row.name << " at " << dpi;
        }
    }
}

// The picture show dialog is its table for the eye and the screen reader, and at 96 and at
// 144 DPI every control lies where the numbers written out by hand say, with its text
// whole; the settings window's button that opens it too.
TEST_F(SettingsProcess, ThePictureShowDialogIsItsTableWithEveryTextWholeAt96And144Dpi) {
    const OptionsOnAThread options;
    ASSERT_TRUE(options.up());
    const HWND opener = ::GetDlgItem(options.window(), id::kPictureShow);
    const ControlLayout openerRow[] = {
        *std::find_if(kControls.begin(), kControls.end(),
                      [](const ControlLayout& row) { return row.id == id::kPictureShow; })};
    ExpectTextsFit(options.window(), openerRow, 96);
    const HWND picture = OpenedBy(opener, ::GetCurrentProcessId(), kPictureShowDialogClass);
    ASSERT_NE(picture, nullptr);
    const ui::win32::DialogTable& table = PictureShowDialog::Layout();
    ExpectTheTableMadeEveryControl(picture, table);
    for (const ControlLayout& row : table.controls) {
        const Place place = ui::win32::WindowPlace(table.controls, row);
        const RECT rect = ClientRectOf(::GetDlgItem(picture, row.id));
        EXPECT_EQ(rect.left, place.left) << row.name;
        EXPECT_EQ(rect.top, place.top) << row.name;
        EXPECT_EQ(rect.right - rect.left, place.width) << row.name;
        EXPECT_EQ(rect.bottom - rect.top, place.height) << row.name;
    }
    ExpectTextsFit(picture, table.controls, 96);

    SendDpiChanged(picture, 144, {480, 389});
    RECT client{};
    ::GetClientRect(picture, &client);
    EXPECT_EQ(client.right, 480) << "320 at 144 DPI";
    EXPECT_EQ(client.bottom, 389) << "259 at 144 DPI";
    const HandPlace at144[] = {
        {IDOK, "btnOK 152,222,75,25", {228, 333, 228 + 113, 333 + 38}},
        {picture_show::id::kNextOnEach,
         "chkNextOnEach 12+10,78+60,280,17",
         {33, 207, 33 + 420, 207 + 26}},
        {picture_show::id::kChangeGroup, "grpChange 12,168,296,42", {18, 252, 18 + 444, 252 + 63}},
    };
    ExpectHandPlaces(picture, at144);
    ExpectTextsFit(picture, table.controls, 144);
    ::PostMessageW(picture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(picture); }, 10s));

    SendDpiChanged(options.window(), 144, kClientAt144);
    const RECT button = ClientRectOf(opener);
    EXPECT_EQ(button.left, 465) << "310 at 144 DPI";
    EXPECT_EQ(button.bottom - button.top, 26) << "17 at 144 DPI";
    ExpectTextsFit(options.window(), openerRow, 144);
}

}  // namespace
}  // namespace qv
