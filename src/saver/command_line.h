// The saver host's command line: the mode switch and the host window number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"

namespace qv::saver {

// Parameters after the program name, as the platform split them.
using Arguments = std::vector<std::string>;

enum class Mode { TesselPreview, ChangePassword, ScreenSaver, Preview, Settings };

// The first two characters of parameter 1 in lower case; empty without parameters.
std::string CmdSwitch(const Arguments& args);
Mode ModeOf(std::string_view cmdSwitch);
// Modes in which a second instance ends at once.
bool ChecksSingleInstance(Mode mode);

struct WindowNumber {
    std::optional<platform::WindowId> window;  // nullopt: not a decimal integer
    std::string text;                          // the text that was converted
};

// Parameters 1 and 2 joined; from the third character on, blanks and colons skipped (the
// last character is never skipped), the rest read as a decimal integer.
WindowNumber ParamWindowHandle(const Arguments& args);

}  // namespace qv::saver
