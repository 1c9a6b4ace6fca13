// QuorvanesSetup.exe under Wine, as a deployment tool runs it: a silent installation into a
// folder with blanks, the screen saver of that installation, an installation over it, and
// the silent removal. The scenario is one installation, checked in steps that each report
// on their own (installation_checks.h): a failed step does not hide what the others find.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include "common/install_names.h"
#include "common/shared_names.h"
#include "config/names.h"
#include "installation_checks.h"
#include "settings/options.h"
#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

const std::wstring kFolder = L"C:\\Program Files (x86)\\Quorvanes Test";

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
        if (IsFile(uninstaller)) {
            (void)RunUninstaller();
        }
        SetScrnSave(savedScrnSave == L"<missing>" ? L"" : savedScrnSave);
        ResetConfiguration();
        ::CoUninitialize();
    }

    // Each of these reports its failure and answers whether it succeeded, so that a step
    // ends where it cannot go on (a failure of an earlier step does not count).
    [[nodiscard]] static bool RunSetup() {
        // /D= takes the rest of the command line, blanks and all, without quotes.
        const Child setup =
            StartProgram(L"\"" + SiblingPath(L"QuorvanesSetup.exe") + L"\" /S /D=" + kFolder);
        EXPECT_TRUE(setup.process) << "the installer did not start";
        const auto code = WaitForExit(setup, 60s);
        EXPECT_EQ(code, 0u) << "the installer failed or did not end";
        return code == 0u;
    }

    // The uninstaller hands over to a copy of itself outside the folder and ends at once;
    // it is done when the folder is gone.
    [[nodiscard]] bool RunUninstaller() const {
        const Child uninstall = StartProgram(L"\"" + uninstaller + L"\" /S");
        EXPECT_TRUE(uninstall.process) << "the uninstaller did not start";
        const auto code = WaitForExit(uninstall, 30s);
        EXPECT_EQ(code, 0u) << "the uninstaller failed or did not end";
        const bool gone = WaitUntil([] { return !IsFolder(kFolder); }, 30s);
        EXPECT_TRUE(gone) << "the folder stays";
        return code == 0u && gone;
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

    const std::wstring host = kFolder + L"\\" + W(shared::kSaverHostName) + L".scr";
    const std::wstring tessels = kFolder + L"\\" + W(install::kTesselsFolder);
    const std::wstring trayProgram = tessels + W(settings::kTrayProgram);
    const std::wstring uninstaller = kFolder + L"\\" + W(install::kUninstallerFile);
    const std::wstring uninstallKey = W(install::kUninstallKeyPath);
    std::wstring savedScrnSave;
    Child tray;
    Child link;
};

TEST_F(InstallerProcess, InstallsRunsReinstallsOverTheUsersChoicesAndRemovesItself) {
    if (!RunStep("silent installation", [] { (void)RunSetup(); })) {
        return;  // nothing installed: nothing else to read back
    }
    ExpectInstalledLayout(kFolder, /*withUninstaller=*/true, StartMenuFolder());

    RunStep("system screen saver", [&] {
        const std::wstring shortHost = ShortPathOf(host);
        ASSERT_FALSE(shortHost.empty()) << "the installed saver host has no short path";
        EXPECT_EQ(shortHost.find(L' '), std::wstring::npos);
        EXPECT_EQ(ScrnSave(), shortHost) << "system.ini does not name the installed saver host";
    });

    RunStep("first rotation", [] {
        // A first installation gives the user the samples as the rotation.
        EXPECT_EQ(UserValue(L"Tessel"), W(install::kSampleRotation));
        EXPECT_EQ(UserValue(L"ScreenSaverType"), L"0");
    });

    RunStep("program removal entry", [&] {
        EXPECT_EQ(MachineText(uninstallKey, L"DisplayName"), W(install::kProductName));
        EXPECT_EQ(MachineText(uninstallKey, L"Publisher"), W(install::kPublisher));
        EXPECT_FALSE(MachineText(uninstallKey, L"DisplayVersion").value_or(L"").empty())
            << "no version";
        EXPECT_EQ(MachineText(uninstallKey, L"InstallLocation"), kFolder);
        EXPECT_EQ(MachineText(uninstallKey, L"QuietUninstallString"),
                  L"\"" + uninstaller + L"\" /S");
        EXPECT_GT(MachineNumber(uninstallKey, L"EstimatedSize").value_or(0), 100u) << "KiB";
    });

    RunStep("screen saver of the installation, with its tray program", [&] {
        ASSERT_TRUE(StartTray());
        const Child show = StartProgram(L"\"" + host + L"\" /s");
        ASSERT_TRUE(show.process) << "the installed saver host did not start";
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] { return (window = WindowOf(show.pid, L"QuorvanesShow")) != nullptr; }, 30s))
            << "no picture show";
        EXPECT_EQ(UserValue(L"CurrentTessel"), L"Harbour Lights");
        EXPECT_EQ(UserValue(L"ScreenSaverType"), L"0");
        ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_TRUE(WaitForExit(show, 15s)) << "a key did not end the show";
        EndIfRunning(show);
    });

    RunStep("installation over it keeps the user's choices", [&] {
        // The user's choices and own Tessel stay, the programs are replaced, and the running
        // tray program is closed (it ends by itself, exit code 0) before that.
        if (!tray.process) {
            ASSERT_TRUE(StartTray());
        }
        SetUserValue(L"Saver", L"\"1QV Kept\"");
        SetUserValue(L"Tessel", L"Meadow,Mine");
        WriteFile(tessels + L"\\Mine.tsl", "the user's own");
        WriteFile(host, "an older saver host");
        ASSERT_TRUE(RunSetup());
        EXPECT_EQ(WaitForExit(tray, 0ms), 0u) << "the tray program was not closed";
        EXPECT_EQ(UserValue(L"Saver"), L"\"1QV Kept\"");
        EXPECT_EQ(UserValue(L"Tessel"), L"Meadow,Mine");
        EXPECT_EQ(ReadFile(tessels + L"\\Mine.tsl"), "the user's own");
        EXPECT_EQ(ReadFile(host), ReadFile(SiblingPath(L"Quorvanes.scr")))
            << "the saver host was not replaced";
    });

    RunStep("removal", [&] {
        // The removal closes what runs and takes everything it installed.
        ASSERT_TRUE(StartTray());
        const std::wstring linkTitle = W(shared::kBrowserLinkTitle);
        link = StartProgram(L"\"" + kFolder + L"\\" + W(install::kBrowserLinkFile) + L"\"",
                            kFolder.c_str());
        ASSERT_TRUE(
            WaitUntil([&] { return ::FindWindowW(nullptr, linkTitle.c_str()) != nullptr; }, 20s))
            << "the installed browser-link window did not come up";
        ASSERT_TRUE(RunUninstaller());
        EXPECT_EQ(WaitForExit(tray, 10s), 0u) << "the tray program was not closed";
        EXPECT_EQ(WaitForExit(link, 10s), 0u) << "the browser-link window was not closed";
        ExpectRemoved(kFolder, StartMenuFolder());
        EXPECT_FALSE(KeyExists(uninstallKey)) << "the program removal entry stays";
        EXPECT_EQ(ScrnSave(), L"") << "the key stays, with an empty value";
        // The user's own choices stay for a later installation.
        EXPECT_EQ(UserValue(L"Saver"), L"\"1QV Kept\"");
    });
}

TEST_F(InstallerProcess, RemovalLeavesAnotherSystemScreenSaverAlone) {
    ASSERT_TRUE(RunSetup());
    SetScrnSave(L"C:\\windows\\system32\\other.scr");
    ASSERT_TRUE(RunUninstaller());
    EXPECT_EQ(ScrnSave(), L"C:\\windows\\system32\\other.scr");
}

}  // namespace
}  // namespace qv
