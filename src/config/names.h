// Registry, ini-file and message names of the configuration, spelled once.
#pragma once

#include <cstddef>
#include <string_view>

namespace qv::config {

inline constexpr std::string_view kKeyPath = "Software\\Quorvanes\\Tessels";
// The ini-style view is opened one level up; its section "Tessels" is kKeyPath.
inline constexpr std::string_view kIniViewPath = "\\Software\\Quorvanes";
inline constexpr std::string_view kIniSection = "Tessels";

// The installation's values (paths) are read as the system reads them, into a buffer of
// this many bytes; a longer value reads as empty.
inline constexpr std::size_t kValueBufferBytes = 512;
// The user's values, which the programs write themselves, are read whole up to this many
// bytes (UTF-8, with the terminator), far more than the settings can ever write. A longer
// text is never written, and a longer stored value (made by other means) reads as missing.
inline constexpr std::size_t kStoredValueCapBytes = 64 * 1024;
// Folders and short paths are read into buffers of this many characters.
inline constexpr std::size_t kPathBufferChars = 512;

inline constexpr std::string_view kPreshowsFolder = "\\Preshows";
inline constexpr std::string_view kPreshowExtension = ".exe";

namespace value {
inline constexpr std::string_view Saver = "Saver";
inline constexpr std::string_view CurrentSaver = "CurrentSaver";
inline constexpr std::string_view Tessel = "Tessel";
inline constexpr std::string_view CurrentTessel = "CurrentTessel";
inline constexpr std::string_view ScreenSaverType = "ScreenSaverType";
inline constexpr std::string_view PreshowLocation = "PreshowLocation";
inline constexpr std::string_view ViewTime = "ViewTime";
inline constexpr std::string_view MouseDelay = "MouseDelay";
inline constexpr std::string_view RotationEnabled = "RotationEnabled";
inline constexpr std::string_view TrayIconOn = "TrayIconOn";
inline constexpr std::string_view LogoIMP = "LogoIMP";
inline constexpr std::string_view UrlLink = "UrlLink";
inline constexpr std::string_view TesselsDir = "TesselsDir";
inline constexpr std::string_view InstallLocation = "InstallLocation";
// The picture show's modes (show_modes.h), each a digit in text.
inline constexpr std::string_view PictureSize = "PictureSize";
inline constexpr std::string_view Monitors = "Monitors";
inline constexpr std::string_view Crossfade = "Crossfade";
}  // namespace value

// The system's screen-saver settings outside the key.
inline constexpr std::string_view kDesktopKeyPath = "Control Panel\\Desktop";
inline constexpr std::string_view kControlPanelIniView = "\\Control Panel";
inline constexpr std::string_view kDesktopSection = "Desktop";
inline constexpr std::string_view kScreenSaveTimeOut = "ScreenSaveTimeOut";
inline constexpr std::string_view kScreenSaverIsSecure = "ScreenSaverIsSecure";
inline constexpr std::string_view kScreenSaveUsePassword = "ScreenSaveUsePassword";
inline constexpr int kDefaultScreenSaveTimeOut = 3600;

inline constexpr std::string_view kSystemIni = "system.ini";
inline constexpr std::string_view kBootSection = "boot";
inline constexpr std::string_view kScrnSaveKey = "SCRNSAVE.EXE";

namespace text {
inline constexpr std::string_view WriteFailed = "Quorvanes: Unable to set tray icon registry key.";
inline constexpr std::string_view IniSetFailed = "Failed to set data for '%s'";
inline constexpr std::string_view IniKeyFailed = "Failed to create key %s";
inline constexpr std::string_view SaverStartFailed = "Unable to start screen saver process.";
inline constexpr std::string_view PreshowStartFailed = "Unable to Launch MiniApp";
}  // namespace text

}  // namespace qv::config
