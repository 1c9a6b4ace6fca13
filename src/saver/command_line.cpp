#include "saver/command_line.h"

#include "common/text.h"
#include "config/reg_ini_file.h"

namespace qv::saver {

std::string CmdSwitch(const Arguments& args) {
    if (args.empty()) {
        return {};
    }
    return ToLowerAscii(std::string_view(args[0]).substr(0, 2));
}

Mode ModeOf(std::string_view cmdSwitch) {
    if (cmdSwitch == "zz") {
        return Mode::TesselPreview;
    }
    if (cmdSwitch == "/a" || cmdSwitch == "-a") {
        return Mode::ChangePassword;
    }
    if (cmdSwitch == "/s" || cmdSwitch == "-s") {
        return Mode::ScreenSaver;
    }
    if (cmdSwitch == "/p" || cmdSwitch == "-p") {
        return Mode::Preview;
    }
    return Mode::Settings;
}

bool ChecksSingleInstance(Mode mode) {
    return mode != Mode::TesselPreview && mode != Mode::ChangePassword;
}

WindowNumber ParamWindowHandle(const Arguments& args) {
    std::string joined;
    if (!args.empty()) {
        joined += args[0];
    }
    if (args.size() > 1) {
        joined += args[1];
    }
    // Positions are 1-based here, as the rule is stated: start at 3, and advance only while
    // the position is below the length.
    std::size_t pos = 3;
    while (pos < joined.size() && (joined[pos - 1] == ' ' || joined[pos - 1] == ':')) {
        ++pos;
    }
    WindowNumber result;
    result.text = pos <= joined.size() ? joined.substr(pos - 1) : std::string();
    if (const auto number = config::ParseDecimal(result.text)) {
        // Window handles are 32-bit values on every Windows; negative numbers keep their
        // bit pattern as the platform's handle conversion does.
        result.window = static_cast<platform::WindowId>(static_cast<std::uint32_t>(*number));
    }
    return result;
}

}  // namespace qv::saver
