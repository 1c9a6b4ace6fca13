// The one rule for the addresses the programs hand to the shell. Links come from Tessel
// files and from CustInfo.dll, which anyone can put in the Tessels folder: the shell's
// "open" of a program path or a file: address would run it, so only web addresses open.
#pragma once

#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qv::desktop {

// True for http:// and https:// addresses (scheme in any case) with something after
// "//", and no control characters anywhere.
[[nodiscard]] bool IsWebAddress(std::string_view address);

enum class OpenStatus {
    Opened,
    Refused,  // not a web address: the shell was never asked
    Failed,   // the shell was asked and could not: `reason` says why
};

struct [[nodiscard]] WebAddressOpening {
    OpenStatus status = OpenStatus::Refused;
    std::string reason;  // the system's, when Failed
    [[nodiscard]] bool opened() const { return status == OpenStatus::Opened; }
};

// Opens a web address in the user's browser through the Desktop port; anything else is
// refused and never reaches the shell.
[[nodiscard]] WebAddressOpening OpenWebAddress(platform::Desktop& desktop, platform::WindowId owner,
                                               std::string_view address,
                                               platform::ShowCommand show);

}  // namespace qv::desktop
