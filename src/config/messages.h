// The two kinds of plain message box the programs show: with the saver host's caption, and
// with the system's default caption.
#pragma once

#include <string_view>

#include "platform/ports.h"

namespace qv::config {

// A plain box with an OK button and the saver host's caption "Quorvanes".
void ShowHostMessage(platform::Dialogs& dialogs, std::string_view text);

// A box with no owner, no caption of its own and an OK button.
void ShowUncaptionedMessage(platform::Dialogs& dialogs, std::string_view text);

}  // namespace qv::config
