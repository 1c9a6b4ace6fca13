// The search for another program's window by its exact title: how the saver host and the
// settings dialog find the tray program's window, and the show the browser-link window.
#pragma once

#include <string_view>

#include "platform/ports.h"

namespace qv::desktop {

// The desktop the tray program and the browser-link window live on. On the NT family the
// screen saver runs on a desktop of its own, so the search names this one; a program on it
// (the settings dialog) finds the same windows as with its own desktop.
inline constexpr std::string_view kDefaultDesktop = "default";

// The first top-level window whose title (read with at most 510 characters) equals
// `title`, case included. On the NT family the windows of the desktop "default" are
// searched, and nothing when it cannot be opened. 0 when there is none.
[[nodiscard]] platform::WindowId FindWindowTitled(const platform::Platform& platform, bool isNT,
                                                  std::string_view title);

}  // namespace qv::desktop
