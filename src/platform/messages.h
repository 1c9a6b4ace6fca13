// The two kinds of plain message box the programs show: with the saver host's caption, and
// with the system's default caption.
#pragma once

#include <string_view>

#include "platform/ports.h"

namespace qv::platform {

// Caption of the saver host's plain message boxes (its application title).
inline constexpr std::string_view kHostCaption = "Quorvanes";

// A plain box with an OK button and the saver host's caption.
void ShowHostMessage(Dialogs& dialogs, std::string_view text);

// A box with no owner, no caption of its own and an OK button.
void ShowUncaptionedMessage(Dialogs& dialogs, std::string_view text);

}  // namespace qv::platform
