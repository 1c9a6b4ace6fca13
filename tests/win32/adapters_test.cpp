// The Win32 adapters against Wine's real registry, system.ini, files and windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "common/shared_names.h"
#include "config/config_store.h"
#include "config/names.h"
#include "config/system_saver_settings.h"
#include "desktop/window_search.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/system_dialogs.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using platform::RegRoot;
using winbase::Widen;

class Win32RegistryAdapter : public ::testing::Test {
  protected:
    void SetUp() override { wintest::ResetConfiguration(); }

    static std::optional<std::string> QueryA(const char* name, DWORD* type = nullptr,
                                             DWORD* size = nullptr) {
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quorvanes\\Tessels", 0, KEY_READ,
                            &opened) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        const winbase::UniqueHkey key(opened);
        char buffer[2048] = {};
        DWORD bytes = sizeof(buffer);
        DWORD kind = 0;
        const LONG rc = ::RegQueryValueExA(key.get(), name, nullptr, &kind,
                                           reinterpret_cast<BYTE*>(buffer), &bytes);
        if (rc != ERROR_SUCCESS) {
            return std::nullopt;
        }
        if (type != nullptr)
            *type = kind;
        if (size != nullptr)
            *size = bytes;
        return std::string(buffer, bytes);
    }

    static void SetRawA(const char* name, const std::string& bytes) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvanes\\Tessels", 0, nullptr,
                                    0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        const winbase::UniqueHkey key(created);
        ::RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
    }

    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32{boxes};
    config::ConfigStore store{win32.platform().registry, nullptr};
};

TEST_F(Win32RegistryAdapter, WrittenValueReadsBackThroughTheAnsiApi) {
    store.WriteUserValue("CurrentSaver", "1Night Sky");
    DWORD type = 0;
    DWORD size = 0;
    const auto raw = QueryA("CurrentSaver", &type, &size);
    ASSERT_TRUE(raw);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 11u) << "text and its NUL";
    EXPECT_EQ(*raw, std::string("1Night Sky\0", 11));
    EXPECT_EQ(store.ReadUserValue("CurrentSaver"), "1Night Sky");
}

TEST_F(Win32RegistryAdapter, EmptyTextLeavesAnEmptyValue) {
    store.WriteUserValue("CurrentTessel", "");
    DWORD size = 99;
    ASSERT_TRUE(QueryA("CurrentTessel", nullptr, &size));
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(store.ReadUserValue("CurrentTessel"), "");
}

TEST_F(Win32RegistryAdapter, UserValuesReadWholeUpToTheCapAndPathsWithinFiveHundredTwelveBytes) {
    std::string list;  // UTF-8 titles outside the ANSI code page, up to the cap with its NUL
    for (int i = 0; list.size() + 40 < config::kStoredValueCapBytes; ++i) {
        list += "\"Tessel \xce\xa9 " + std::to_string(i) + "\",";
    }
    list.resize(config::kStoredValueCapBytes - 1, 'x');
    store.WriteUserValue("Tessel", list);
    EXPECT_EQ(store.ReadUserValue("Tessel"), list);
    store.WriteUserValue("Tessel", list + "x");
    EXPECT_EQ(store.ReadUserValue("Tessel"), list) << "a text over the cap leaves the value";
    wintest::SetUserValue(L"Saver", std::wstring(config::kStoredValueCapBytes, L's'));
    EXPECT_EQ(store.ReadUserValue("Saver"), "") << "stored by other means: read as missing";
    EXPECT_EQ(store.ReadUserValue("Missing"), "");

    wintest::SetMachineValue(L"TesselsDir", std::wstring(511, L'f'));
    wintest::SetMachineValue(L"InstallLocation", std::wstring(512, L't'));
    EXPECT_EQ(store.ReadMachineValue("TesselsDir"), std::string(511, 'f'));
    EXPECT_EQ(store.ReadMachineValue("InstallLocation"), "");
}

TEST_F(Win32RegistryAdapter, StringWithNulInsideReadsUpToTheNul) {
    SetRawA("Embedded", std::string("abc\0def\0", 8));
    EXPECT_EQ(store.ReadUserValue("Embedded"), "abc");
}

TEST_F(Win32RegistryAdapter, TextOutsideTheAnsiCodePageSurvives) {
    const std::string greek = "\xce\xa9mega \xe6\x97\xa5";  // Omega, a CJK character
    store.WriteUserValue("UrlLink", greek);
    EXPECT_EQ(store.ReadUserValue("UrlLink"), greek);
    HKEY opened = nullptr;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quorvanes\\Tessels", 0, KEY_READ, &opened),
        ERROR_SUCCESS);
    const winbase::UniqueHkey key(opened);
    wchar_t buffer[64] = {};
    DWORD bytes = sizeof(buffer);
    ::RegQueryValueExW(key.get(), L"UrlLink", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &bytes);
    EXPECT_EQ(std::wstring(buffer), Widen(greek));
}

TEST(Win32SystemIni, ClearedSaverKeepsTheKeyWithAnEmptyValue) {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    const config::SystemSaverSettings settings(win32.platform());
    ASSERT_TRUE(settings.SetSystemScreenSaver("C:\\QUORVA~1.SCR").empty());
    char buffer[512] = {};
    ::GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "none", buffer, 512, "system.ini");
    EXPECT_STREQ(buffer, "C:\\QUORVA~1.SCR");

    ASSERT_TRUE(settings.SetSystemScreenSaver("").empty());
    ::GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "none", buffer, 512, "system.ini");
    EXPECT_STREQ(buffer, "") << "the key must stay, empty";
    EXPECT_EQ(settings.SystemScreenSaver("none", 512), "");
    ::WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", nullptr, "system.ini");
    EXPECT_EQ(settings.SystemScreenSaver("none", 512), "none");

    // An ini file that cannot be written (a folder of its name) reports the system's reason.
    const wintest::TempFolder folder{L"qv ini folder"};
    const platform::WriteResult refused =
        win32.platform().profile.Write(wintest::Utf8(folder.path()), "boot", "SCRNSAVE.EXE", "x");
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.reason.empty());
}

TEST(Win32Files, ShortPathsListingAndFolders) {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    auto& files = win32.platform().files;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::string dir = winbase::Narrow(temp) + "qv files test";
    ::CreateDirectoryW(Widen(dir).c_str(), nullptr);
    const std::string file = dir + "\\Long Saver Name.scr";
    std::ofstream(Widen(file).c_str()) << "x";

    EXPECT_TRUE(files.FileExists(file));
    EXPECT_FALSE(files.FileExists(dir)) << "a folder is not a file";
    const auto shortPath = files.ShortPath(file);
    ASSERT_TRUE(shortPath);
    EXPECT_EQ(shortPath->find(' '), std::string::npos) << *shortPath;
    EXPECT_TRUE(files.FileExists(*shortPath));
    EXPECT_FALSE(files.ShortPath(dir + "\\missing.scr"));
    EXPECT_EQ(files.List(dir + "\\*.scr"), std::vector<std::string>{"Long Saver Name.scr"});
    EXPECT_TRUE(files.Delete(file));
    EXPECT_FALSE(files.FileExists(file));
    ::RemoveDirectoryW(Widen(dir).c_str());
}

// The .scr header reader shares read, write and delete (it denies none), so a saver that another
// program holds open for writing is still read and listed by its description; the other readers
// keep out of a file being written.
TEST(Win32Files, ASaverHeldOpenForWritingIsReadOnlyWhenTheReaderSharesWriting) {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    auto& files = win32.platform().files;
    wintest::TempFolder folder(L"qv sharing test");
    const std::string path = wintest::Utf8(folder.path()) + "\\Held Saver.scr";
    wintest::WriteFile(Widen(path), std::string("MZ") + std::string(200, '\0'));
    const winbase::UniqueFile writer(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer) << "held open for writing";
    const auto shared = files.OpenForReading(path, platform::Sharing::ReadWriteDelete);
    ASSERT_TRUE(shared);
    std::uint8_t head[2] = {};
    EXPECT_EQ(shared->ReadAt(0, head, 2), std::optional<std::size_t>(2));
    EXPECT_EQ(head[0], 'M');
    EXPECT_FALSE(files.OpenForReading(path, platform::Sharing::ReadDelete))
        << "a reader that does not share writing is kept out";
}

TEST(Win32Desktop, FindsTopLevelWindowsByTitleOnTheDefaultDesktop) {
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"Quorvanes TrayIcon", WS_POPUP, 0, 0, 0, 0,
                                          nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    auto& desktop = win32.platform().desktop;
    for (const auto& name : {std::optional<std::string_view>{},
                             std::optional<std::string_view>{desktop::kDefaultDesktop}}) {
        const auto windows = desktop.TopLevelWindows(name, shared::kWindowTitleChars);
        ASSERT_TRUE(windows);
        const auto found = std::find_if(windows->begin(), windows->end(), [&](const auto& w) {
            return w.id == reinterpret_cast<platform::WindowId>(window);
        });
        ASSERT_NE(found, windows->end());
        EXPECT_EQ(found->title, "Quorvanes TrayIcon");
        EXPECT_EQ(found->processId, ::GetCurrentProcessId());
        EXPECT_FALSE(found->visible);
    }
    ::ShowWindow(window, SW_SHOWNA);
    const auto shown = desktop.TopLevelWindows(std::nullopt, shared::kWindowTitleChars);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(std::any_of(shown->begin(), shown->end(), [&](const auto& w) {
        return w.id == reinterpret_cast<platform::WindowId>(window) && w.visible;
    })) << "a shown window is reported visible";
    EXPECT_FALSE(desktop.TopLevelWindows("no such desktop", 510));
    ::DestroyWindow(window);
}

// The shell's "open" reports what came of it: the address handed to the browser, or the
// system's reason when the browser cannot be started (the shell may show its own box too).
TEST(Win32Desktop, OpeningAnAddressReportsTheShellsOutcomeAndItsReason) {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    auto& desktop = win32.platform().desktop;
    wintest::TempFolder folder(L"qv open address");
    const std::wstring record = folder.path() + L"\\opened.txt";
    {
        const wintest::ScopedWebRecorder recorder(record);
        const auto opened =
            desktop.OpenAddress(0, "https://harbour.example/lights", platform::ShowCommand::Normal);
        EXPECT_TRUE(opened.opened) << opened.reason;
        EXPECT_EQ(opened.reason, "");
        EXPECT_TRUE(wintest::WaitUntil(
            [&] {
                return wintest::ReadFile(record).find("https://harbour.example/lights") !=
                       std::string::npos;
            },
            std::chrono::seconds(20)))
            << wintest::ReadFile(record);
    }
    const wintest::ScopedWebRecorder broken(record, folder.path() + L"\\no such browser.exe");
    std::atomic<bool> done = false;
    platform::OpenResult failed;
    std::thread opener([&] {
        failed = desktop.OpenAddress(0, "https://harbour.example/", platform::ShowCommand::Normal);
        done = true;
    });
    // Wine's shell, like the system's, tells the user in a box of its own: answered here.
    (void)wintest::WaitUntil(
        [&] {
            if (const auto box = wintest::MessageBoxNow(::GetCurrentProcessId())) {
                wintest::Answer(*box, IDOK);
            }
            return done.load();
        },
        std::chrono::seconds(30));
    if (!done) {
        opener.detach();
        FAIL() << "the shell's open never returned";
    }
    opener.join();
    EXPECT_FALSE(failed.opened);
    EXPECT_NE(failed.reason, "") << "a failure without the system's reason";
}

TEST(Win32Processes, AStartedProcessReportsItsNumberAndItsEnd) {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    platform::ProcessLaunch launch;
    launch.commandLine = "cmd.exe /c exit 0";
    launch.newConsole = false;
    launch.showCommand = platform::ShowCommand::Hide;
    const auto process = win32.platform().processes.Start(launch);
    ASSERT_TRUE(process);
    EXPECT_NE(process->Id(), 0u);
    EXPECT_TRUE(wintest::WaitUntil([&] { return process->HasEnded(); }, std::chrono::seconds(30)));
}

TEST(Win32System, WineReportsTheNtFamily) {
    ui::win32::SystemDialogs boxes;
    platform::win32::Win32Platform win32(boxes);
    EXPECT_TRUE(win32.platform().system.IsNT());
}

}  // namespace
}  // namespace qv
