// Quorvanes.msi under Wine's msiexec, as a deployment tool runs it: a silent per-machine
// installation into the default folder, read back; the per-user first-log-on step as
// Active Setup runs it for a user who logs on later; the screen saver of the installation
// with its tray program; a major upgrade by the next version's package that keeps the
// user's choices and added Tessel; a repair after Quorvanes.scr was deleted; the silent
// removal; and an installation into a folder with blanks and accents given as INSTALLDIR.
// Each part is a step that reports on its own (installation_checks.h).
//
// Where Wine 8's msiexec differs from Windows Installer, the scenario says so:
// - it puts a per-machine package's shortcuts into the installing user's Start menu
//   (ProgramMenuFolder from CSIDL_PROGRAMS whatever ALLUSERS is), so the entries are read
//   from there;
// - it runs no Active Setup at log-on, so the scenario runs the registered StubPath itself,
//   as Windows would for a user whose HKCU copy of the entry is missing;
// - its /f (repair) ends with an error without repairing, so the repair is asked for by the
//   properties /f stands for (REINSTALL=ALL REINSTALLMODE=p) where /f fails;
// - it writes no InstallLocation into the program removal's entry (from ARPINSTALLLOCATION);
// - its nested removal in a major upgrade sets no UPGRADINGPRODUCTCODE (docs/installing.md).
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "common/install_names.h"
#include "common/shared_names.h"
#include "config/names.h"
#include "installation_checks.h"
#include "settings/options.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

std::wstring ProgramFilesFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, buffer);
    return buffer;
}

// The program removal's entry Windows Installer makes (its key is the product code).
std::optional<std::wstring> RemovalEntry() {
    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    std::optional<std::wstring> found;
    for (const auto& name : MachineSubkeys(uninstall)) {
        if (!name.empty() && name.front() == L'{' &&
            MachineText(uninstall + L"\\" + name, L"DisplayName") == W(install::kProductName)) {
            EXPECT_FALSE(found) << "two removal entries: " << Utf8(*found) << ", " << Utf8(name);
            found = uninstall + L"\\" + name;
        }
    }
    return found;
}

class MsiPackage : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!IsFile(SiblingPath(L"Quorvanes.msi"))) {
            GTEST_SKIP() << "this build made no Quorvanes.msi (wixl was not found)";
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
        for (const auto* package : {L"test-packages\\Quorvanes-next.msi", L"Quorvanes.msi"}) {
            (void)Msiexec(L"/x \"" + SiblingPath(package) + L"\" /qn");
        }
        // What a removal leaves of the scenario's own (the Tessel it added), and the folders.
        if (!folder.empty()) {
            ::DeleteFileW((tessels + L"\\Mine.tsl").c_str());
            ::RemoveDirectoryW((tessels + W(config::kPreshowsFolder)).c_str());
            ::RemoveDirectoryW(tessels.c_str());
            ::RemoveDirectoryW(folder.c_str());
        }
        SetScrnSave(savedScrnSave == L"<missing>" ? L"" : savedScrnSave);
        ResetConfiguration();
        ::CoUninitialize();
    }

    // msiexec with these arguments; its exit code (0 done, 3010 done but a restart needed).
    static std::optional<DWORD> Msiexec(const std::wstring& arguments) {
        wchar_t system[MAX_PATH] = {};
        ::GetSystemDirectoryW(system, MAX_PATH);
        const Child msiexec =
            StartProgram(L"\"" + std::wstring(system) + L"\\msiexec.exe\" " + arguments);
        EXPECT_TRUE(msiexec.process) << "msiexec did not start";
        return WaitForExit(msiexec, 120s);
    }
    [[nodiscard]] static bool Install(const wchar_t* package, const std::wstring& more = L"") {
        const auto code = Msiexec(L"/i \"" + SiblingPath(package) + L"\" /qn" +
                                  (more.empty() ? L"" : L" ") + more);
        EXPECT_EQ(code, 0u) << "msiexec /i " << Utf8(package) << " failed or did not end";
        return code == 0u;
    }

    void UseFolder(const std::wstring& installed) {
        folder = installed;
        host = folder + L"\\" + W(shared::kSaverHostName) + L".scr";
        tessels = folder + L"\\" + W(install::kTesselsFolder);
        trayProgram = tessels + W(settings::kTrayProgram);
    }

    // What Windows does at the log-on of a user whose HKCU copy of the Active Setup entry
    // is missing: it runs the entry's StubPath and waits for it.
    [[nodiscard]] static bool RunActiveSetupStep() {
        const auto stub = MachineText(W(install::kActiveSetupKeyPath), L"StubPath");
        EXPECT_TRUE(stub) << "no Active Setup entry";
        if (!stub) {
            return false;
        }
        const Child step = StartProgram(*stub);
        EXPECT_TRUE(step.process) << "the per-user step did not start: " << Utf8(*stub);
        const auto code = WaitForExit(step, 30s);
        EXPECT_EQ(code, 0u) << "the per-user step failed or did not end";
        return code == 0u;
    }

    [[nodiscard]] bool StartTray() {
        tray = StartProgram(L"\"" + trayProgram + L"\"", tessels.c_str());
        EXPECT_TRUE(tray.process) << "the installed tray program did not start";
        const std::wstring trayClass = W(shared::kTrayWindowClass);
        const bool up =
            WaitUntil([&] { return WindowOf(tray.pid, trayClass.c_str()) != nullptr; }, 20s);
        EXPECT_TRUE(up) << "no tray window";
        return up;
    }
    // Windows Installer does not close running programs (the NSIS installer does): what a
    // deployment tool would stop before an upgrade or a removal.
    void CloseTray() {
        const std::wstring trayClass = W(shared::kTrayWindowClass);
        if (const HWND window = WindowOf(tray.pid, trayClass.c_str())) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(WaitForExit(tray, 10s), 0u) << "the tray program did not end on WM_CLOSE";
        EndIfRunning(tray);
    }

    std::wstring folder, host, tessels, trayProgram;
    std::wstring savedScrnSave;
    Child tray;
    // Where Wine's msiexec puts the Start-menu entries (see the top of this file).
    const std::wstring menu = StartMenuFolder(/*allUsers=*/false);
};

TEST_F(MsiPackage, InstallsForEveryUserUpgradesRepairsAndRemovesItself) {
    UseFolder(ProgramFilesFolder() + L"\\" + W(install::kProgramFolder));
    if (!RunStep("msiexec /i /qn into the default folder",
                 [] { (void)Install(L"Quorvanes.msi"); })) {
        return;
    }
    ExpectInstalledLayout(folder, /*withUninstaller=*/false, menu);
    RunStep("program removal entry", [&] {
        const auto entry = RemovalEntry();
        ASSERT_TRUE(entry) << "no removal entry";
        EXPECT_EQ(MachineText(*entry, L"Publisher"), W(install::kPublisher));
        EXPECT_FALSE(MachineText(*entry, L"DisplayVersion").value_or(L"").empty());
        const auto location = MachineText(*entry, L"InstallLocation").value_or(L"");
        // Wine 8's msiexec sets ARPINSTALLLOCATION but writes no InstallLocation from it.
        if (location.empty()) {
            std::printf("[   NOTE   ] no InstallLocation in the removal entry (Wine)\n");
        } else {
            EXPECT_TRUE(location == folder || location == folder + L"\\") << Utf8(location);
        }
    });
    RunStep("nothing per user yet", [] {
        EXPECT_EQ(UserValue(L"Tessel"), L"<missing>")
            << "a per-machine package wrote the user's choices";
    });

    RunStep("per-user step at a new user's first log-on", [&] {
        ResetConfiguration();  // only HKCU matters here; the machine key is put back below
        SetScrnSave(L"");
        SetMachineValue(L"InstallLocation", host);
        SetMachineValue(L"TesselsDir", tessels);
        ASSERT_TRUE(RunActiveSetupStep());
        EXPECT_EQ(UserValue(L"Tessel"), W(install::kSampleRotation));
        EXPECT_EQ(UserValue(L"ScreenSaverType"), L"0");
        EXPECT_EQ(ScrnSave(), ShortPathOf(host)) << "the user got no screen saver";
    });

    RunStep("per-user step for a user who chose already", [&] {
        SetScrnSave(L"C:\\windows\\system32\\other.scr");
        SetUserValue(L"Tessel", L"Meadow");
        ASSERT_TRUE(RunActiveSetupStep());
        EXPECT_EQ(ScrnSave(), L"C:\\windows\\system32\\other.scr");
        EXPECT_EQ(UserValue(L"Tessel"), L"Meadow");
        SetScrnSave(ShortPathOf(host));
        SetUserValue(L"Tessel", W(install::kSampleRotation));
    });

    RunStep("screen saver of the installation, with its tray program", [&] {
        ASSERT_TRUE(StartTray());
        const Child show = StartProgram(L"\"" + host + L"\" /s");
        ASSERT_TRUE(show.process) << "the installed saver host did not start";
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] { return (window = WindowOf(show.pid, L"QuorvanesShow")) != nullptr; }, 30s))
            << "no picture show";
        EXPECT_NE(W(install::kSampleRotation).find(UserValue(L"CurrentTessel")), std::wstring::npos)
            << "the show is not of a sample Tessel";
        ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_TRUE(WaitForExit(show, 15s)) << "a key did not end the show";
        EndIfRunning(show);
        CloseTray();
    });

    RunStep("major upgrade by the next version keeps the user's choices", [&] {
        SetUserValue(L"Saver", L"\"1QV Kept\"");
        SetUserValue(L"Tessel", L"Meadow,Mine");
        WriteFile(tessels + L"\\Mine.tsl", "the user's own");
        const auto before = RemovalEntry();
        ASSERT_TRUE(Install(L"test-packages\\Quorvanes-next.msi"));
        const auto after = RemovalEntry();
        ASSERT_TRUE(after) << "no removal entry after the upgrade";
        EXPECT_NE(before, after) << "the same product code: not a major upgrade";
        EXPECT_FALSE(before && KeyExists(*before)) << "the older version is still installed";
        EXPECT_EQ(UserValue(L"Saver"), L"\"1QV Kept\"");
        EXPECT_EQ(UserValue(L"Tessel"), L"Meadow,Mine");
        EXPECT_EQ(ReadFile(tessels + L"\\Mine.tsl"), "the user's own");
        EXPECT_TRUE(IsFile(host)) << "the upgrade lost the saver host";
        EXPECT_EQ(MachineText(W(config::kKeyPath), W(config::value::InstallLocation)), host);
    });

    RunStep("repair restores a deleted Quorvanes.scr", [&] {
        const auto entry = RemovalEntry();
        ASSERT_TRUE(entry) << "no removal entry";
        const std::wstring product = entry->substr(entry->find_last_of(L'\\') + 1);
        ASSERT_TRUE(::DeleteFileW(host.c_str())) << "error " << ::GetLastError();
        // /fp: reinstall the files that are missing. Wine 8's msiexec ends /f with an error
        // (exit 69) without repairing; there the repair is asked for as /f asks Windows
        // Installer for it, by the REINSTALL properties.
        const auto repaired = Msiexec(L"/fp " + product + L" /qn");
        if (repaired != 0u) {
            std::printf("[   NOTE   ] msiexec /fp ended with %lu: repairing by REINSTALL=ALL\n",
                        static_cast<unsigned long>(repaired.value_or(0)));
            EXPECT_EQ(Msiexec(L"/i \"" + SiblingPath(L"test-packages\\Quorvanes-next.msi") +
                              L"\" REINSTALL=ALL REINSTALLMODE=p /qn"),
                      0u)
                << "the repair failed or did not end";
        }
        EXPECT_TRUE(IsFile(host)) << "the saver host was not restored";
        EXPECT_TRUE(ReadFile(host) == ReadFile(SiblingPath(L"Quorvanes.scr")))
            << "the restored saver host is not the package's";
    });

    RunStep("msiexec /x /qn", [&] {
        const auto code =
            Msiexec(L"/x \"" + SiblingPath(L"test-packages\\Quorvanes-next.msi") + L"\" /qn");
        ASSERT_EQ(code, 0u) << "msiexec /x failed or did not end";
        ExpectRemoved(folder, menu);
        EXPECT_FALSE(RemovalEntry()) << "the removal entry stays";
        EXPECT_FALSE(IsFile(host));
        EXPECT_FALSE(IsFile(trayProgram));
        EXPECT_FALSE(IsFile(tessels + L"\\Meadow.tsl")) << "a sample Tessel stays";
        // Unlike the NSIS uninstaller, the Tessel the user added stays (docs/installing.md),
        // and each user's choices stay for a later installation.
        EXPECT_EQ(ReadFile(tessels + L"\\Mine.tsl"), "the user's own");
        EXPECT_EQ(UserValue(L"Saver"), L"\"1QV Kept\"");
    });
}

TEST_F(MsiPackage, InstallsIntoAFolderWithBlanksAndAccentsGivenAsInstallDir) {
    UseFolder(ProgramFilesFolder() + L"\\\u00c9cran de veille Quorvan\u00e9s");
    ASSERT_TRUE(Install(L"Quorvanes.msi", L"INSTALLDIR=\"" + folder + L"\""));
    ExpectInstalledLayout(folder, /*withUninstaller=*/false, menu);
    RunStep("the per-user step finds the installation", [&] {
        SetScrnSave(L"");
        ASSERT_TRUE(RunActiveSetupStep());
        EXPECT_EQ(ScrnSave(), ShortPathOf(host));
    });
    RunStep("msiexec /x /qn", [&] {
        ASSERT_EQ(Msiexec(L"/x \"" + SiblingPath(L"Quorvanes.msi") + L"\" /qn"), 0u);
        ExpectRemoved(folder, menu);
        EXPECT_FALSE(IsFile(host)) << "the saver host stays";
    });
}

}  // namespace
}  // namespace qv
