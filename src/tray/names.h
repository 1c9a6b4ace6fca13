// Names and texts of the tray program, spelled once. The window title is how the other
// program finds this one.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/shared_names.h"

namespace qv::tray {

inline constexpr unsigned kWmTrayNotify = 0x400 + 3;   // clicks accepted
inline constexpr unsigned kWmTrayIgnored = 0x400 + 4;  // a launch is pending
inline constexpr unsigned kWmLButtonUp = 0x0202;
inline constexpr unsigned kWmRButtonUp = 0x0205;

// Menu command ids, in menu order: 4099 is not used, restart stands above shutdown.
inline constexpr unsigned kIdmLaunch = 4096;
inline constexpr unsigned kIdmSettings = 4097;
inline constexpr unsigned kIdmShutdown = 4098;
inline constexpr unsigned kIdmRestart = 4100;

inline constexpr int kLaunchDelayMs = 1000;
inline constexpr int kStatusPeriodMs = 600000;

// system.ini is read with buffers of these sizes.
inline constexpr std::size_t kStateBufferChars = 512;
inline constexpr std::size_t kLaunchBufferChars = 255;
inline constexpr std::size_t kTipChars = 63;  // 64 with the terminator

namespace text {
inline constexpr std::string_view ErrorCaption = "Screen Saver Manager Error";
inline constexpr std::string_view WriteFailed = "Unable to set tray icon registry key.";
inline constexpr std::string_view RegisterFailed = "Register Failed.";
inline constexpr std::string_view MenuFailed = "Unable to create popup menu.";
inline constexpr std::string_view TipActive = "Launch Screen Saver";
inline constexpr std::string_view TipInactive = "Disabled - restart from pop-up menu.";
inline constexpr std::string_view NoScreenSaver =
    "No screen saver has been set.  Right click on the desktop and select 'properties' to set "
    "one.";
inline constexpr std::string_view RestartCaption = "QVTIcon";
inline constexpr std::string_view NothingSelected =
    "There are currently no System Screen Savers or Quorvanes Photoreels selected.  Select an "
    "item in the Settings window to enable the Quorvanes Manager.";
inline constexpr std::string_view ShutdownCaption = "Quorvanes";
inline constexpr std::string_view ShutdownQuestion =
    "This action will remove the tray icon, disable the Quorvanes Manager and stop all rotation "
    "of screen savers.  Press \"Cancel\" to stop this action or \"OK\" to continue.\r\rIf \"OK\" "
    "is chosen, the Quorvanes Manager can be restarted at any time by selecting Start> Programs> "
    "Quorvanes> Start Screen Saver Manager from the Windows Start Menu.";
// The system refused to change its screen saver (the lines name what and why).
inline constexpr std::string_view SystemSaverNotSet =
    "The system's screen saver could not be changed:";
inline constexpr std::string_view MenuLaunch = "Launch Screen Saver";
inline constexpr std::string_view MenuSettings = "Quorvanes Manager Settings";
inline constexpr std::string_view MenuRestart = "Restart Quorvanes Manager";
inline constexpr std::string_view MenuShutdown = "Shutdown Quorvanes Manager";
}  // namespace text

}  // namespace qv::tray
