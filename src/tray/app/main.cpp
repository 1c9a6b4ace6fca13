// QVTIcon.exe: the tray program. While it runs, the manager is in service.
#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "tray/tray_program.h"
#include "tray/win32/tray_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    qv::platform::win32::Win32Platform win32;
    const auto& platform = win32.platform();
    const auto startup =
        qv::tray::RunTrayStartup(platform, qv::platform::win32::Narrow(::GetCommandLineW()));
    int exitCode = 0;
    if (startup.outcome == qv::tray::StartupOutcome::Run) {
        exitCode = qv::tray::win32::RunTrayWindow(instance, showCommand, platform,
                                                  startup.installLocation);
    }
    // The two workers may still be asleep and use what lives here: the process ends
    // with them, before anything is torn down.
    ::ExitProcess(static_cast<UINT>(exitCode));
}
