#include "tray/win32/system_saver_start.h"

#include <windows.h>

#include "config/launch.h"
#include "config/names.h"
#include "config/system_saver_settings.h"

namespace qv::tray::win32 {

bool SystemStartsScreenSavers() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

void StartSystemScreenSaver(const platform::Platform& platform) {
    const config::SystemSaverSettings system(platform);
    const std::string saver = system.SystemScreenSaver("", config::kPathBufferChars);
    if (saver.empty()) {
        return;
    }
    platform::ProcessLaunch launch;
    launch.commandLine = config::CommandLineFor(saver) + " /s";
    launch.newConsole = false;
    (void)platform.processes.Start(launch);
}

}  // namespace qv::tray::win32
