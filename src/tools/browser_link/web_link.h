// Which link texts the browser-link program hands to the shell. Links come from Tessel
// files, which anyone can make: "open" on a program path or a file: address would run it,
// so only web addresses are opened.
#pragma once

#include <string_view>

namespace qv::browser_link {

// True for http:// and https:// addresses (scheme in any case) with something after
// "//", and no control characters anywhere.
bool IsWebLink(std::string_view link);

}  // namespace qv::browser_link
