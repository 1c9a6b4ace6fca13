// The Windows 95 family's screen-saver password services, loaded for one call each: the
// show asks for the password, the settings dialog changes it.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/ports.h"

namespace qv::password {

// The system-directory buffer of the lookups for the password libraries, and their names.
inline constexpr std::size_t kSystemDirBufferChars = 260;
inline constexpr std::string_view kMprDll = "\\mpr.dll";
inline constexpr std::string_view kPasswordCpl = "\\password.cpl";
inline constexpr std::string_view kPasswordProvider = "SCRSAVE";

// Opens the system's password change for the screen saver ("SCRSAVE" provider of
// mpr.dll). A missing library or function does nothing.
void ChangeSaverPassword(const platform::Platform& platform, platform::WindowId window);

// The system's password dialog (password.cpl). True when the password was right, and
// when the library or its function is missing.
[[nodiscard]] bool VerifySaverPassword(const platform::Platform& platform,
                                       platform::WindowId window);

}  // namespace qv::password
