// What the programs of the installation know of each other, spelled once: the saver host
// finds the tray program and the browser-link window by their titles and notifies the
// latter with a message; the mutexes keep each program to one instance.
#pragma once

#include <cstdint>
#include <string_view>

namespace qv::shared {

inline constexpr std::string_view kSaverHostMutex = "Quorvanes";
inline constexpr std::string_view kTrayMutex = "QVTIconMutex";
inline constexpr std::string_view kTrayWindowClass = "Vantrel";
inline constexpr std::string_view kTrayWindowTitle = "Quorvanes TrayIcon";
inline constexpr std::string_view kBrowserLinkTitle = "Quorvanes BrowserLink";

// The picture show tells the browser-link window to open UrlLink: WM_USER, wParam 1.
inline constexpr unsigned kWmUser = 0x400;
inline constexpr std::uintptr_t kBrowserLinkOpen = 1;

}  // namespace qv::shared
