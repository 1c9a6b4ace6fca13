// What the user sees when Windows starts the screen saver: with the tray program in
// service, the Preshow and the next title of the rotation; without it, the first Tessel
// file, for that run only. The start changes positions and the kind that ran last, never
// the user's lists.
#pragma once

#include "config/config_store.h"
#include "platform/ports.h"
#include "saver/host.h"

namespace qv::saver {

// The first top-level window titled exactly "Quorvanes TrayIcon" (on the NT family, of the
// desktop "default"); 0 when there is none.
platform::WindowId FindTrayWindow(const platform::Platform& platform, bool isNT);

enum class SaverStartOutcome {
    Ended,            // a saver ran and ended, or nothing was found: the program ends
    ShowPictureShow,  // state.tesselForThisRun, else CurrentTessel, is the Tessel to show
};

// The start-of-saver sequence. Sets state.trayRunning, and state.tesselForThisRun when the
// first Tessel file stands in for the rotation.
SaverStartOutcome StartScreenSaver(const platform::Platform& platform,
                                   const config::ConfigStore& store, HostState& state);

}  // namespace qv::saver
