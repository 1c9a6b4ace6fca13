#include "saver/win32/host_views.h"
#include "config/messages.h"

#include <string>

#include "config/names.h"

namespace qv::saver::win32 {

namespace {

constexpr int kExitNotBuilt = 3;

}  // namespace

Win32HostViews::Win32HostViews(HINSTANCE instance, const platform::Platform& platform)
    : platform_(platform), app_(instance) {}

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

int Win32HostViews::RunPictureShow(HostState&) {
    return NotInThisBuild("the picture show");
}

int Win32HostViews::RunPreview(HostState&, platform::WindowId) {
    return NotInThisBuild("the preview window");
}

int Win32HostViews::RunSettingsDialog(HostState&) {
    return NotInThisBuild("the settings dialog");
}

}  // namespace qv::saver::win32
