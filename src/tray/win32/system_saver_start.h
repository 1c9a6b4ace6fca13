// The system's start of its screen saver, where the system has none. On Windows the
// default handling of WM_SYSCOMMAND / SC_SCREENSAVE starts the program named by
// system.ini [boot] SCRNSAVE.EXE with "/s". Wine accepts the command and does nothing, so
// under Wine the tray program does the same itself.
#pragma once

#include "platform/ports.h"

namespace qv::tray::win32 {

// False under Wine, which does not start screen savers on request.
bool SystemStartsScreenSavers();

// Starts SCRNSAVE.EXE with "/s", as the system would; nothing when the entry is empty.
void StartSystemScreenSaver(const platform::Platform& platform);

}  // namespace qv::tray::win32
