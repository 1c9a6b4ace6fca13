// The saver host's windows for each mode.
#pragma once

#include <windows.h>

#include "platform/ports.h"
#include "saver/host.h"

namespace qv::saver::win32 {

class Win32HostViews : public HostViews {
  public:
    Win32HostViews(HINSTANCE instance, const platform::Platform& platform);

    void UseToolWindowStyle() override;
    int RunPictureShow(HostState& state) override;
    int RunPreview(HostState& state, platform::WindowId hostWindow) override;
    int RunSettingsDialog(HostState& state) override;

  private:
    HINSTANCE instance_;
    const platform::Platform& platform_;
    // Made by the show, the one mode whose window it owns; every window made on the thread
    // before the input method is switched off would get an input-method window of its own.
    bool toolWindow_ = false;
};

}  // namespace qv::saver::win32
