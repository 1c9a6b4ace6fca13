// The saver host's windows for each mode.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/ports.h"
#include "saver/host.h"

namespace qv::saver::win32 {

// The settings dialog, which the program composes in: the saver host's views do not
// depend on the settings window.
using SettingsDialog = std::function<int()>;

class Win32HostViews : public HostViews {
  public:
    Win32HostViews(HINSTANCE instance, const platform::Platform& platform,
                   SettingsDialog settingsDialog);

    int RunPictureShow(HostState& state) override;
    int RunPreview(HostState& state, platform::WindowId hostWindow) override;
    int RunSettingsDialog(HostState& state) override;

  private:
    HINSTANCE instance_;
    const platform::Platform& platform_;
    SettingsDialog settingsDialog_;
};

}  // namespace qv::saver::win32
