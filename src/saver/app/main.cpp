// Quorvanes.scr: the saver host, started by Windows with the screen-saver switches.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>

#include "adbanner/win32/ad_image.h"
#include "base/win32/wide.h"
#include "config/names.h"
#include "config/reg_ini_file.h"
#include "platform/messages.h"
#include "platform/win32/win32_platform.h"
#include "saver/host.h"
#include "saver/win32/host_views.h"
#include "saver/win32/start_trace.h"
#include "settings/win32/options_window.h"
#include "ui/win32/program_start.h"
#include "ui/win32/system_dialogs.h"

namespace {

// The C runtime's split of the command line (the rules CommandLineToArgvW follows after the
// program's name): taking the shell's would load the shell library at every start.
qv::saver::Arguments CommandLineArguments() {
    qv::saver::Arguments args;
    for (int i = 1; i < __argc && __wargv != nullptr; ++i) {
        args.push_back(qv::winbase::Narrow(__wargv[i]));
    }
    return args;
}

// How the advertising library knows the settings dialog.
constexpr std::int32_t kSettingsProgramId = 502;

// The settings window's banner, composed in here: the window knows only its table's row.
std::unique_ptr<qv::ui::win32::Window> SettingsBanner(qv::platform::Dialogs& boxes,
                                                      HINSTANCE instance, HWND parent, int id) {
    qv::adbanner::win32::AdImageProperties banner;
    banner.programId = kSettingsProgramId;
    return qv::adbanner::win32::MakeAdImage(boxes, instance, parent, id, banner);
}

int Run(HINSTANCE instance, const qv::platform::Platform& platform) {
    try {
        qv::saver::win32::Win32HostViews views(instance, platform, [instance, &platform] {
            return qv::settings::win32::RunSettingsDialog(instance, platform, SettingsBanner);
        });
        return qv::saver::RunSaverHost(platform, views, CommandLineArguments());
    } catch (const std::exception& error) {
        // A failed write through the configuration view abandons the action; the user is
        // told which value or key, as for every other failure.
        qv::platform::ShowHostMessage(platform.dialogs, error.what());
        return 1;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    qv::saver::win32::MarkStart("entry");
    qv::ui::win32::HardenDllSearch();
    // What the workers use lives here, and this function never returns: the process ends
    // below, workers and all, before anything is torn down.
    qv::ui::win32::SystemDialogs boxes;
    qv::platform::win32::Win32Platform win32(boxes);
    ::ExitProcess(static_cast<UINT>(Run(instance, win32.platform())));
}
