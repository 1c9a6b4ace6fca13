// What the programs of the installation know of each other, spelled once: the saver host
// finds the tray program and the browser-link window by their titles and notifies the
// latter with a message; the mutexes keep each program to one instance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qv::shared {

inline constexpr std::string_view kSaverHostMutex = "Quorvanes";
// The saver host's file name without ".scr": the settings do not list it among the savers.
inline constexpr std::string_view kSaverHostName = "Quorvanes";
inline constexpr std::string_view kTrayMutex = "QVTIconMutex";
inline constexpr std::string_view kTrayWindowClass = "Vantrel";
inline constexpr std::string_view kTrayWindowTitle = "Quorvanes TrayIcon";
inline constexpr std::string_view kBrowserLinkTitle = "Quorvanes BrowserLink";

// Titles are read with GetWindowText into a 511-character buffer.
inline constexpr std::size_t kWindowTitleChars = 510;

// The settings' OK closes the running tray program with WM_CLOSE, and waits for the send.
inline constexpr unsigned kWmClose = 0x0010;

// The picture show tells the browser-link window to open UrlLink: WM_USER, wParam 1.
inline constexpr unsigned kWmUser = 0x400;
inline constexpr std::uintptr_t kBrowserLinkOpen = 1;

}  // namespace qv::shared
