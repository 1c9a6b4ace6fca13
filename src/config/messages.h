// Moved to platform/messages.h; this header keeps the old names until their last users
// include that one.
#pragma once

#include "platform/messages.h"

namespace qv::config {

using platform::ShowHostMessage;
using platform::ShowUncaptionedMessage;

}  // namespace qv::config
