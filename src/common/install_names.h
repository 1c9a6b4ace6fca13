// What the installation puts where, spelled once: the names that only the installers (the
// NSIS script and the WiX source) and the scenarios that check an installation use. The
// names the programs use themselves stay in their own headers (shared_names.h,
// config/names.h, ...), from which the installers take them as well.
//
// The build reads this file and those headers (cmake/installer_names.cmake): every name
// is one line `inline constexpr std::string_view kName = "text";`, the text in C++'s
// escapes (\\ and \"), so that CMake can pass it to makensis and wixl as a define.
#pragma once

#include <string_view>

namespace qv::install {

// The product, as the program removal and the version information name it.
inline constexpr std::string_view kProductName = "Quorvanes";
inline constexpr std::string_view kPublisher = "Quorvanes";
// The folder under Program Files, and the Start-menu folder (all users).
inline constexpr std::string_view kProgramFolder = "Quorvanes";
inline constexpr std::string_view kStartMenuFolder = "Quorvanes";
// The Tessels folder inside the program folder (its path is the machine value TesselsDir).
inline constexpr std::string_view kTesselsFolder = "Tessels";

// The program files in the program folder; the tray program lies in the Tessels folder
// under the name settings/options.h gives it, the saver host under shared::kSaverHostName
// with ".scr".
inline constexpr std::string_view kBrowserLinkFile = "QVBrowserLink.exe";
inline constexpr std::string_view kUninstallerFile = "Uninstall.exe";
// The per-user first-log-on step (src/tools/user_setup/), in the program folder.
inline constexpr std::string_view kUserSetupFile = "QVUserSetup.exe";

// The Start-menu entries (each NAME.lnk).
inline constexpr std::string_view kSettingsShortcut = "Quorvanes Settings";
inline constexpr std::string_view kTurnOnShortcut = "Turn Quorvanes On";
inline constexpr std::string_view kUninstallShortcut = "Uninstall Quorvanes";

// The log-on entries: values of the machine's Run key.
inline constexpr std::string_view kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunTrayValue = "Quorvanes TrayIcon";
inline constexpr std::string_view kRunBrowserLinkValue = "Quorvanes BrowserLink";

// The program removal's entry of the NSIS installation (the MSI's is the product code's,
// which Windows Installer makes).
inline constexpr std::string_view kUninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvanes";

// Active Setup: Windows runs the component's StubPath (QVUserSetup.exe) once for each user
// at log-on, when the user's copy of the key (under HKCU) lacks its Version or has a lower
// one. The Version changes only when the per-user step itself changes, so an upgrade does
// not run it again.
inline constexpr std::string_view kActiveSetupKeyPath =
    "Software\\Microsoft\\Active Setup\\Installed "
    "Components\\{6D3C2A4E-8F1B-4C57-9A0E-3B7D5F21C9A4}";
inline constexpr std::string_view kActiveSetupVersion = "1,0,0,0";

// Where the MSI remembers its program folder (under config::kIniViewPath, HKLM), so that a
// repair, an upgrade and the removal find the folder INSTALLDIR named at installation.
inline constexpr std::string_view kMsiInstallDirValue = "MsiInstallDir";

// The rotation a user without one gets (the sample Tessels, in the stored list form).
inline constexpr std::string_view kSampleRotation = "\"Harbour Lights\",Meadow";

}  // namespace qv::install
