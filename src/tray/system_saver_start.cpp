#include "tray/system_saver_start.h"

#include "config/names.h"
#include "config/system_saver_settings.h"
#include "launch/launch.h"

namespace qv::tray {

bool StartSystemScreenSaver(const platform::Platform& platform) {
    const config::SystemSaverSettings system(platform);
    const std::string saver = system.SystemScreenSaver("", config::kPathBufferChars);
    if (saver.empty()) {
        return false;
    }
    platform::ProcessLaunch launch;
    launch.commandLine = launch::CommandLineFor(saver) + " /s";
    launch.newConsole = false;
    return platform.processes.Start(launch) != nullptr;
}

}  // namespace qv::tray
