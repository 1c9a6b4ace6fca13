// The system's start of its screen saver, where the system has none. On Windows the
// default handling of WM_SYSCOMMAND / SC_SCREENSAVE starts the program named by
// system.ini [boot] SCRNSAVE.EXE with "/s". Wine accepts the command and does nothing, so
// under Wine the tray program does the same itself.
#pragma once

#include "platform/ports.h"

namespace qv::tray {

// Starts SCRNSAVE.EXE with "/s", as the system would; false when the entry is empty or the
// program could not be started.
bool StartSystemScreenSaver(const platform::Platform& platform);

}  // namespace qv::tray
