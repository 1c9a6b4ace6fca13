// The one rule for the addresses the programs hand to the shell. Links come from Tessel
// files and from CustInfo.dll, which anyone can put in the Tessels folder: the shell's
// "open" of a program path or a file: address would run it, so only web addresses open.
#pragma once

#include <string_view>

#include "platform/ports.h"

namespace qv::desktop {

// True for http:// and https:// addresses (scheme in any case) with something after
// "//", and no control characters anywhere.
[[nodiscard]] bool IsWebAddress(std::string_view address);

// Opens a web address in the user's browser; anything else is refused (false) and never
// reaches the shell.
bool OpenWebAddress(platform::Desktop& desktop, platform::WindowId owner, std::string_view address,
                    platform::ShowCommand show);

}  // namespace qv::desktop
