#include "saver/win32/host_views.h"

#include <imm.h>

#include <utility>

#include "config/show_modes.h"
#include "saver/picture_show.h"
#include "saver/win32/app_window.h"
#include "saver/win32/picture_window.h"
#include "saver/win32/preview_window.h"
#include "saver/win32/start_trace.h"

namespace qv::saver::win32 {

Win32HostViews::Win32HostViews(HINSTANCE instance, const platform::Platform& platform,
                               SettingsDialog settingsDialog)
    : instance_(instance), platform_(platform), settingsDialog_(std::move(settingsDialog)) {}

int Win32HostViews::RunPictureShow(HostState& state) {
    // The show takes no text. Without an input method on this thread, the activation of its
    // window starts none (under Wine that loaded the COM libraries, before the first picture).
    // The owner is made here, not with the program: every window made on the thread before
    // the input method is off gets an input-method window of its own.
    ::ImmDisableIME(::GetCurrentThreadId());
    const AppWindow app(instance_, state.toolWindowMode);
    MarkStart("app-window");
    PictureWindow window(instance_, app.hwnd(), platform_.dialogs);
    MarkStart("show-window");
    if (!window.Created()) {
        return 1;
    }
    // The show's boxes are the window's: above it, on the primary monitor.
    const platform::Platform showPlatform = platform::WithDialogs(platform_, window.Dialogs());
    int exitCode = 0;
    {
        PictureShow show(showPlatform, state, window);
        window.Attach(show);
        const OpenOutcome opened = show.Open();
        MarkStart("show-opened");  // the configuration and the Tessel read, the decode begun
        if (opened == OpenOutcome::Showing) {
            exitCode = window.RunUntilClosed();
        }
        window.Detach();  // before the show goes
    }
    return exitCode;
}

int Win32HostViews::RunPreview(HostState&, platform::WindowId hostWindow) {
    const config::ConfigStore store(platform_.registry, nullptr);
    return RunPreviewWindow(instance_, reinterpret_cast<HWND>(hostWindow),
                            config::ReadShowModes(store).size);
}

int Win32HostViews::RunSettingsDialog(HostState&) {
    return settingsDialog_();
}

}  // namespace qv::saver::win32
