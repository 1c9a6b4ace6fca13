#include "launch/launch.h"

#include <string>

#include "config/names.h"
#include "config/paths.h"
#include "platform/messages.h"

namespace qv::launch {

std::string CommandLineFor(std::string_view programPath) {
    // No file name holds a double quote: one in front means the path is quoted already.
    if (programPath.find(' ') == std::string_view::npos || programPath.starts_with('"')) {
        return std::string(programPath);
    }
    std::string quoted = "\"";
    quoted += programPath;
    quoted += '"';
    return quoted;
}

void LaunchSaverProcess(const platform::Platform& platform, std::string_view path) {
    std::unique_ptr<platform::RunningProcess> saver;
    if (!path.empty()) {
        // The short form is the normal case. A path without one, and a short form that
        // still holds blanks (a volume without 8.3 names gives the long path), is quoted.
        const auto shortPath = config::ShortPathWithin512(platform.files, path);
        platform::ProcessLaunch launch;
        launch.commandLine = CommandLineFor(shortPath ? *shortPath : path) + " /s";
        launch.priority = platform::Priority::High;
        saver = platform.processes.Start(launch);
    }
    if (!saver) {
        platform::ShowHostMessage(platform.dialogs, config::text::SaverStartFailed);
        return;
    }
    saver->WaitForExit();
}

void LaunchPreshow(const platform::Platform& platform, const config::ConfigStore& store,
                   std::string_view name, std::string_view arguments, bool wait) {
    const std::string folder =
        store.ReadMachineValue(config::value::TesselsDir) + std::string(config::kPreshowsFolder);
    const std::string program =
        folder + "\\" + std::string(name) + std::string(config::kPreshowExtension);
    if (!platform.files.FileExists(program)) {
        return;
    }
    platform::ProcessLaunch launch;
    launch.commandLine = CommandLineFor(program);
    if (!arguments.empty()) {
        launch.commandLine += ' ';
        launch.commandLine += arguments;
    }
    launch.workingDirectory = folder;
    launch.priority = platform::Priority::Normal;
    const auto preshow = platform.processes.Start(launch);
    if (!preshow) {
        platform::ShowUncaptionedMessage(platform.dialogs, config::text::PreshowStartFailed);
        return;
    }
    if (wait) {
        preshow->WaitForExit();
    }
}

}  // namespace qv::launch
