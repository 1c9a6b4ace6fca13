#include "installation_checks.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>

#include "adbanner/ad_library.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "common/install_names.h"
#include "common/shared_names.h"
#include "config/names.h"
#include "settings/options.h"
#include "wine_test_support.h"

namespace qv::wintest {

std::wstring W(std::string_view name) {
    return winbase::Widen(name);
}

namespace {

// A machine key open for reading in the given registry view; empty when it cannot be opened.
winbase::UniqueHkey OpenMachineKey(const std::wstring& key, REGSAM view) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &opened) !=
        ERROR_SUCCESS) {
        return {};
    }
    return winbase::UniqueHkey(opened);
}

}  // namespace

std::optional<std::wstring> MachineText(const std::wstring& key, const std::wstring& name,
                                        REGSAM view) {
    const winbase::UniqueHkey opened = OpenMachineKey(key, view);
    if (!opened) {
        return std::nullopt;
    }
    std::wstring text(1024, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LONG got = ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (got != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t));
    text.resize(text.find(L'\0'));
    return text;
}

std::optional<DWORD> MachineNumber(const std::wstring& key, const std::wstring& name) {
    const winbase::UniqueHkey opened = OpenMachineKey(key, kView);
    if (!opened) {
        return std::nullopt;
    }
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    DWORD type = 0;
    const LONG got = ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(&value), &bytes);
    if (got != ERROR_SUCCESS || type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

bool KeyExists(const std::wstring& key, REGSAM view) {
    return static_cast<bool>(OpenMachineKey(key, view));
}

std::vector<std::wstring> MachineSubkeys(const std::wstring& key, REGSAM view) {
    std::vector<std::wstring> names;
    const winbase::UniqueHkey opened = OpenMachineKey(key, view);
    if (!opened) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD chars = 256;
        if (::RegEnumKeyExW(opened.get(), index, name, &chars, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, chars);
    }
    return names;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

std::wstring StartMenuFolder(bool allUsers) {
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, nullptr,
                       SHGFP_TYPE_CURRENT, buffer);
    return std::wstring(buffer) + L"\\" + W(install::kStartMenuFolder);
}

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

namespace {

int FailedParts() {
    const auto* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    for (int i = 0; i < result->total_part_count(); ++i) {
        failed += result->GetTestPartResult(i).failed() ? 1 : 0;
    }
    return failed;
}

}  // namespace

bool RunStep(const char* name, const std::function<void()>& body) {
    const int before = FailedParts();
    {
        SCOPED_TRACE(std::string("step: ") + name);
        body();
    }
    const int failed = FailedParts() - before;
    if (failed == 0) {
        std::printf("[   STEP   ] %s: ok\n", name);
    } else {
        std::printf("[   STEP   ] %s: FAILED (%d failed checks)\n", name, failed);
    }
    std::fflush(stdout);
    return failed == 0;
}

void ExpectInstalledLayout(const std::wstring& folder, bool withUninstaller,
                           const std::wstring& menuFolder) {
    const std::wstring host = folder + L"\\" + W(shared::kSaverHostName) + L".scr";
    const std::wstring tessels = folder + L"\\" + W(install::kTesselsFolder);
    const std::wstring tray = tessels + W(settings::kTrayProgram);
    const std::wstring link = folder + L"\\" + W(install::kBrowserLinkFile);

    RunStep("files and folders", [&] {
        std::vector<std::wstring> files = {folder + L"\\" + W(install::kUserSetupFile),
                                           host,
                                           link,
                                           folder + L"\\" + W(adbanner::kLibraryName),
                                           tray,
                                           tessels + L"\\Harbour Lights.tsl",
                                           tessels + L"\\Meadow.tsl"};
        if (withUninstaller) {
            files.push_back(folder + L"\\" + W(install::kUninstallerFile));
        }
        for (const auto& file : files) {
            EXPECT_TRUE(IsFile(file)) << "not installed: " << Utf8(file);
        }
        EXPECT_TRUE(IsFolder(tessels + W(config::kPreshowsFolder))) << "no Preshows folder";
    });

    RunStep("machine values", [&] {
        const std::wstring key = W(config::kKeyPath);
        EXPECT_EQ(MachineText(key, W(config::value::TesselsDir)), tessels);
        EXPECT_EQ(MachineText(key, W(config::value::InstallLocation)), host);
        EXPECT_FALSE(KeyExists(key, kOtherView)) << "written to the other registry view";
    });

    RunStep("log-on entries", [&] {
        const std::wstring run = W(install::kRunKeyPath);
        EXPECT_EQ(MachineText(run, W(install::kRunTrayValue)), L"\"" + tray + L"\"");
        EXPECT_EQ(MachineText(run, W(install::kRunBrowserLinkValue)), L"\"" + link + L"\"");
    });

    RunStep("Active Setup entry of the per-user step", [&] {
        const std::wstring key = W(install::kActiveSetupKeyPath);
        EXPECT_EQ(MachineText(key, L"StubPath"),
                  L"\"" + folder + L"\\" + W(install::kUserSetupFile) + L"\"");
        EXPECT_EQ(MachineText(key, L"Version"), W(install::kActiveSetupVersion));
        EXPECT_EQ(MachineText(key, L""), W(install::kProductName));
    });

    RunStep("Start-menu entries", [&] {
        const std::wstring menu = menuFolder + L"\\";
        const auto settings = ReadShortcut(menu + W(install::kSettingsShortcut) + L".lnk");
        ASSERT_TRUE(settings) << "no settings entry";
        EXPECT_EQ(Lower(settings->target), Lower(host));
        EXPECT_EQ(settings->arguments, L"/c");
        const auto turnOn = ReadShortcut(menu + W(install::kTurnOnShortcut) + L".lnk");
        ASSERT_TRUE(turnOn) << "no \"turn on\" entry";
        EXPECT_EQ(Lower(turnOn->target), Lower(tray));
        EXPECT_EQ(turnOn->arguments, L"r");
        const auto uninstall = ReadShortcut(menu + W(install::kUninstallShortcut) + L".lnk");
        ASSERT_TRUE(uninstall) << "no uninstall entry";
        if (withUninstaller) {
            EXPECT_EQ(Lower(uninstall->target),
                      Lower(folder + L"\\" + W(install::kUninstallerFile)));
        } else {
            EXPECT_NE(Lower(uninstall->target).find(L"msiexec.exe"), std::wstring::npos);
            EXPECT_EQ(uninstall->arguments.rfind(L"/x {", 0), 0u) << Utf8(uninstall->arguments);
        }
    });
}

void ExpectRemoved(const std::wstring& folder, const std::wstring& menu) {
    const auto left = ProcessesFrom(folder);
    EXPECT_TRUE(left.empty()) << "still running: " << Utf8(left.empty() ? L"" : left.front());
    EXPECT_FALSE(IsFolder(menu)) << "the Start-menu folder stays";
    EXPECT_FALSE(KeyExists(W(install::kActiveSetupKeyPath))) << "the Active Setup entry stays";
    EXPECT_FALSE(KeyExists(W(config::kKeyPath))) << "the machine key stays";
    const std::wstring run = W(install::kRunKeyPath);
    EXPECT_FALSE(MachineText(run, W(install::kRunTrayValue))) << "the tray's log-on entry stays";
    EXPECT_FALSE(MachineText(run, W(install::kRunBrowserLinkValue)))
        << "the browser link's log-on entry stays";
}

}  // namespace qv::wintest
