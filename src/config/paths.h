// Folder and short-path lookups with the buffer sizes the system reads them with.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qv::config {

// GetShortPathName into a 512-character buffer: nullopt when the path has no short form
// or the short form does not fit.
std::optional<std::string> ShortPathWithin512(platform::Files& files, std::string_view path);

// The Windows and System directories as a 512-character buffer holds them; a longer one
// does not fit and reads as empty.
std::string WindowsDirectory512(platform::Files& files);
std::string SystemDirectory512(platform::Files& files);

}  // namespace qv::config
