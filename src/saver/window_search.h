// The search for another program's window by its exact title, as the saver host does it
// for the tray program's window and for the browser-link window.
#pragma once

#include <string_view>

#include "platform/ports.h"

namespace qv::saver {

// The first top-level window whose title (read with at most 510 characters) equals
// `title`, case included. On the NT family the windows of the desktop "default" are
// searched, and nothing when it cannot be opened. 0 when there is none.
platform::WindowId FindWindowTitled(const platform::Platform& platform, bool isNT,
                                    std::string_view title);

}  // namespace qv::saver
