#include "saver/win32/host_views.h"
#include "config/messages.h"

#include <string>

#include "config/names.h"
#include "saver/picture_show.h"
#include "saver/win32/picture_window.h"
#include "saver/win32/preview_window.h"

namespace qv::saver::win32 {

namespace {

constexpr int kExitNotBuilt = 3;

}  // namespace

Win32HostViews::Win32HostViews(HINSTANCE instance, const platform::Platform& platform)
    : instance_(instance), platform_(platform), app_(instance) {}

void Win32HostViews::UseToolWindowStyle() {
    app_.UseToolWindowStyle();
}

int Win32HostViews::NotInThisBuild(std::string_view what) {
    std::string text = "Quorvanes: ";
    text += what;
    text += " is not part of this build yet.";
    config::ShowHostMessage(platform_.dialogs, text);
    return kExitNotBuilt;
}

int Win32HostViews::RunPictureShow(HostState& state) {
    PictureWindow window(instance_, app_.hwnd());
    int exitCode = 0;
    {
        PictureShow show(platform_, state, window);
        window.Attach(show);
        if (show.Open() == OpenOutcome::Showing) {
            exitCode = window.RunUntilClosed();
        }
        window.Detach();  // before the show goes
    }
    return exitCode;
}

int Win32HostViews::RunPreview(HostState&, platform::WindowId hostWindow) {
    return RunPreviewWindow(instance_, reinterpret_cast<HWND>(hostWindow));
}

int Win32HostViews::RunSettingsDialog(HostState&) {
    return NotInThisBuild("the settings dialog");
}

}  // namespace qv::saver::win32
