// The Windows 95 family's screen-saver password services, loaded for one call each.
#pragma once

#include "platform/ports.h"

namespace qv::saver {

// Opens the system's password change for the screen saver ("SCRSAVE" provider of
// mpr.dll). A missing library or function does nothing.
void ChangeSaverPassword(const platform::Platform& platform, platform::WindowId window);

// The system's password dialog (password.cpl). True when the password was right, and
// when the library or its function is missing.
bool VerifySaverPassword(const platform::Platform& platform, platform::WindowId window);

}  // namespace qv::saver
