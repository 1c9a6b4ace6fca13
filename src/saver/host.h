// Start-up of the saver host: the instance mutex, the mode, and the hand-over to the
// windows of that mode.
#pragma once

#include <string>

#include "platform/ports.h"
#include "saver/command_line.h"

namespace qv::saver {

// Program-wide state of one saver-host process.
struct HostState {
    Mode mode = Mode::Settings;
    bool isNT = false;
    bool trayRunning = false;  // set by the start of the screen saver
    // The Tessel the show displays in place of CurrentTessel: the first Tessel file, chosen
    // by the start for this run only when the rotation has none to give.
    std::string tesselForThisRun{};
    bool toolWindowMode = false;  // no taskbar button
};

// What each mode needs from the windowing side. Each Run* creates the mode's windows and
// runs the message loop until the main window closes; it returns the exit code.
class HostViews {
  public:
    virtual ~HostViews() = default;
    virtual int RunPictureShow(HostState& state) = 0;
    virtual int RunPreview(HostState& state, platform::WindowId hostWindow) = 0;
    virtual int RunSettingsDialog(HostState& state) = 0;
};

// The entry point's whole start-up; returns the process exit code.
int RunSaverHost(const platform::Platform& platform, HostViews& views, const Arguments& args);

}  // namespace qv::saver
