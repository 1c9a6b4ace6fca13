// The saver host's windows for each mode.
#pragma once

#include <windows.h>

#include "platform/ports.h"
#include "saver/host.h"

namespace qv::saver::win32 {

class Win32HostViews : public HostViews {
  public:
    Win32HostViews(HINSTANCE instance, const platform::Platform& platform);

    int RunPictureShow(HostState& state) override;
    int RunPreview(HostState& state, platform::WindowId hostWindow) override;
    int RunSettingsDialog(HostState& state) override;

  private:
    HINSTANCE instance_;
    const platform::Platform& platform_;
};

}  // namespace qv::saver::win32
