// QuorvanesSetup.exe under Wine, as a deployment tool runs it: a silent installation into a
// folder with blanks, the screen saver of that installation, an installation over it, and
// the silent removal.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <vector>

#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

const std::wstring kFolder = L"C:\\Program Files (x86)\\Quorvanes Test";
constexpr const wchar_t* kMachineKey = L"Software\\Quorvanes\\Tessels";
constexpr const wchar_t* kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvanes";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The installer writes the registry view its programs read: the 32-bit one for the 32-bit
// build, the 64-bit one for the 64-bit build's installer.
constexpr REGSAM kView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

std::optional<std::wstring> MachineText(const wchar_t* key, const wchar_t* name,
                                        REGSAM view = kView) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(1024, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LONG got = ::RegQueryValueExW(opened, name, nullptr, &type,
                                        reinterpret_cast<BYTE*>(text.data()), &bytes);
    ::RegCloseKey(opened);
    if (got != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t));
    text.resize(text.find(L'\0'));
    return text;
}

std::optional<DWORD> MachineNumber(const wchar_t* key, const wchar_t* name) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | kView, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    DWORD type = 0;
    const LONG got =
        ::RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    ::RegCloseKey(opened);
    if (got != ERROR_SUCCESS || type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

bool KeyExists(const wchar_t* key, REGSAM view) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring StartMenuFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, buffer);
    return std::wstring(buffer) + L"\\Quorvanes";
}

struct Shortcut {
    std::wstring target;
    std::wstring arguments;
};

// What a Start-menu entry starts, read through the shell's own link object.
std::optional<Shortcut> ReadShortcut(const std::wstring& path) {
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link)))) {
        return std::nullopt;
    }
    std::optional<Shortcut> read;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t target[MAX_PATH] = {};
            wchar_t arguments[MAX_PATH] = {};
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetArguments(arguments, MAX_PATH);
            read = Shortcut{target, arguments};
        }
        file->Release();
    }
    link->Release();
    return read;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

// The processes whose program file lies in the installation's folder.
std::vector<std::wstring> ProcessesFrom(const std::wstring& folder) {
    std::vector<std::wstring> found;
    const winbase::UniqueHandleKernel snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        const winbase::UniqueHandleKernel process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (process && ::QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
            Lower(image).rfind(Lower(folder) + L"\\", 0) == 0) {
            found.emplace_back(image);
        }
    }
    return found;
}

class InstallerProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!IsFile(SiblingPath(L"QuorvanesSetup.exe"))) {
            GTEST_SKIP() << "this build made no installer (makensis was not found)";
        }
        ResetConfiguration();
        savedScrnSave = ScrnSave();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        if (IsSkipped()) {
            return;
        }
        EndIfRunning(tray);
        EndIfRunning(link);
        if (IsFile(kFolder + L"\\Uninstall.exe")) {
            RunUninstaller();
        }
        SetScrnSave(savedScrnSave == L"<missing>" ? L"" : savedScrnSave);
        ResetConfiguration();
        ::CoUninitialize();
    }

    static void RunSetup() {
        // /D= takes the rest of the command line, blanks and all, without quotes.
        const Child setup =
            StartProgram(L"\"" + SiblingPath(L"QuorvanesSetup.exe") + L"\" /S /D=" + kFolder);
        ASSERT_TRUE(setup.process);
        ASSERT_EQ(WaitForExit(setup, 60s), 0u);
    }

    // The uninstaller hands over to a copy of itself outside the folder and ends at once;
    // it is done when the folder is gone.
    static void RunUninstaller() {
        const Child uninstall = StartProgram(L"\"" + kFolder + L"\\Uninstall.exe\" /S");
        ASSERT_TRUE(uninstall.process);
        ASSERT_EQ(WaitForExit(uninstall, 30s), 0u);
        ASSERT_TRUE(WaitUntil([] { return !IsFolder(kFolder); }, 30s)) << "the folder stays";
    }

    void StartTray() {
        tray = StartProgram(L"\"" + tessels + L"\\QVTIcon.exe\"", tessels.c_str());
        ASSERT_TRUE(tray.process);
        ASSERT_TRUE(WaitUntil([&] { return WindowOf(tray.pid, L"Vantrel") != nullptr; }, 20s))
            << "no tray window";
    }

    const std::wstring host = kFolder + L"\\Quorvanes.scr";
    const std::wstring tessels = kFolder + L"\\Tessels";
    std::wstring savedScrnSave;
    Child tray;
    Child link;
};

TEST_F(InstallerProcess, InstallsRunsReinstallsOverTheUsersChoicesAndRemovesItself) {
    RunSetup();
    for (const auto* file :
         {L"\\Quorvanes.scr", L"\\QVBrowserLink.exe", L"\\Uninstall.exe", L"\\Tessels\\QVTIcon.exe",
          L"\\Tessels\\Harbour Lights.tsl", L"\\Tessels\\Meadow.tsl"}) {
        EXPECT_TRUE(IsFile(kFolder + file)) << Utf8(file);
    }
    EXPECT_TRUE(IsFolder(tessels + L"\\Preshows"));

    EXPECT_EQ(MachineText(kMachineKey, L"TesselsDir"), tessels);
    EXPECT_EQ(MachineText(kMachineKey, L"InstallLocation"), host);
    EXPECT_FALSE(KeyExists(kMachineKey, kOtherView)) << "written to the other registry view";
    const std::wstring shortHost = ShortPathOf(host);
    ASSERT_FALSE(shortHost.empty());
    EXPECT_EQ(shortHost.find(L' '), std::wstring::npos);
    EXPECT_EQ(ScrnSave(), shortHost);
    EXPECT_EQ(MachineText(kRunKey, L"Quorvanes TrayIcon"), L"\"" + tessels + L"\\QVTIcon.exe\"");
    // A first installation gives the user the samples as the rotation.
    EXPECT_EQ(UserValue(L"Tessel"), L"\"Harbour Lights\",Meadow");

    const auto settings = ReadShortcut(StartMenuFolder() + L"\\Quorvanes Settings.lnk");
    ASSERT_TRUE(settings);
    EXPECT_EQ(Lower(settings->target), Lower(host));
    EXPECT_EQ(settings->arguments, L"/c");
    const auto turnOn = ReadShortcut(StartMenuFolder() + L"\\Turn Quorvanes On.lnk");
    ASSERT_TRUE(turnOn);
    EXPECT_EQ(Lower(turnOn->target), Lower(tessels + L"\\QVTIcon.exe"));
    EXPECT_EQ(turnOn->arguments, L"r");

    EXPECT_EQ(MachineText(kUninstallKey, L"DisplayName"), L"Quorvanes");
    EXPECT_EQ(MachineText(kUninstallKey, L"Publisher"), L"Quorvanes");
    EXPECT_FALSE(MachineText(kUninstallKey, L"DisplayVersion").value_or(L"").empty());
    EXPECT_EQ(MachineText(kUninstallKey, L"InstallLocation"), kFolder);
    EXPECT_EQ(MachineText(kUninstallKey, L"QuietUninstallString"),
              L"\"" + kFolder + L"\\Uninstall.exe\" /S");
    EXPECT_GT(MachineNumber(kUninstallKey, L"EstimatedSize").value_or(0), 100u);  // KiB

    // The screen saver of this installation, with its tray program in service.
    StartTray();
    {
        const Child show = StartProgram(L"\"" + host + L"\" /s");
        ASSERT_TRUE(show.process);
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] { return (window = WindowOf(show.pid, L"QuorvanesShow")) != nullptr; }, 30s))
            << "no picture show";
        EXPECT_EQ(UserValue(L"CurrentTessel"), L"Harbour Lights");
        EXPECT_EQ(UserValue(L"ScreenSaverType"), L"0");
        ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_TRUE(WaitForExit(show, 15s)) << "a key did not end the show";
        EndIfRunning(show);
    }

    // Over it: the user's choices and own Tessel stay, the programs are replaced, and the
    // running tray program is closed (it ends by itself, exit code 0) before that.
    SetUserValue(L"Saver", L"\"1QV Kept\"");
    SetUserValue(L"Tessel", L"Meadow,Mine");
    WriteFile(tessels + L"\\Mine.tsl", "the user's own");
    WriteFile(host, "an older saver host");
    RunSetup();
    EXPECT_EQ(WaitForExit(tray, 0ms), 0u) << "the tray program was not closed";
    EXPECT_EQ(UserValue(L"Saver"), L"\"1QV Kept\"");
    EXPECT_EQ(UserValue(L"Tessel"), L"Meadow,Mine");
    EXPECT_EQ(ReadFile(tessels + L"\\Mine.tsl"), "the user's own");
    EXPECT_EQ(ReadFile(host), ReadFile(SiblingPath(L"Quorvanes.scr")));

    // The removal closes what runs and takes everything it installed.
    StartTray();
    link = StartProgram(L"\"" + kFolder + L"\\QVBrowserLink.exe\"", kFolder.c_str());
    ASSERT_TRUE(
        WaitUntil([] { return ::FindWindowW(nullptr, L"Quorvanes BrowserLink") != nullptr; }, 20s));
    RunUninstaller();
    EXPECT_EQ(WaitForExit(tray, 10s), 0u) << "the tray program was not closed";
    EXPECT_EQ(WaitForExit(link, 10s), 0u) << "the browser-link window was not closed";
    EXPECT_TRUE(ProcessesFrom(kFolder).empty()) << Utf8(ProcessesFrom(kFolder).front());
    EXPECT_FALSE(IsFolder(StartMenuFolder()));
    EXPECT_FALSE(KeyExists(kMachineKey, kView));
    EXPECT_FALSE(KeyExists(kUninstallKey, kView));
    EXPECT_FALSE(MachineText(kRunKey, L"Quorvanes TrayIcon"));
    EXPECT_FALSE(MachineText(kRunKey, L"Quorvanes BrowserLink"));
    EXPECT_EQ(ScrnSave(), L"") << "the key stays, with an empty value";
    // The user's own choices stay for a later installation.
    EXPECT_EQ(UserValue(L"Saver"), L"\"1QV Kept\"");
}

TEST_F(InstallerProcess, RemovalLeavesAnotherSystemScreenSaverAlone) {
    RunSetup();
    SetScrnSave(L"C:\\windows\\system32\\other.scr");
    RunUninstaller();
    EXPECT_EQ(ScrnSave(), L"C:\\windows\\system32\\other.scr");
}

}  // namespace
}  // namespace qv
