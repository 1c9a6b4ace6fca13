// QVTIcon.exe: the tray program. While it runs, the manager is in service.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "tray/tray_program.h"
#include "tray/win32/tray_window.h"
#include "ui/win32/program_start.h"
#include "ui/win32/system_dialogs.h"
#include "base/win32/wide.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    qv::ui::win32::HardenDllSearch();
    qv::ui::win32::SystemDialogs boxes;
    qv::platform::win32::Win32Platform win32(boxes);
    const auto& platform = win32.platform();
    const auto startup =
        qv::tray::RunTrayStartup(platform, qv::winbase::Narrow(::GetCommandLineW()));
    if (startup.outcome != qv::tray::StartupOutcome::Run) {
        return 0;
    }
    // What the workers use lives here, and this function never returns: the process ends
    // below, workers and all, before anything is torn down.
    qv::tray::win32::TrayWindow tray(instance, platform, startup.installLocation);
    ::ExitProcess(static_cast<UINT>(tray.Run(showCommand)));
}
