// Names, switches and texts of the saver host, spelled once.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/shared_names.h"

namespace qv::saver {

using shared::kBrowserLinkTitle;
using shared::kTrayWindowTitle;

namespace text {
inline constexpr std::string_view BadWindowNumber = "'%s' is not a valid window number.";
inline constexpr std::string_view NothingFound = "No Quorvanes were found.";
inline constexpr std::string_view NoPictures = "There are no pictures in the resource file.";
inline constexpr std::string_view LinkHint = "Click to open your web browser and visit this site.";
}  // namespace text

}  // namespace qv::saver
