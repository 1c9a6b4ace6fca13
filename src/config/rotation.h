// The choice of the next title. The position lives only in the registry (CurrentSaver,
// CurrentTessel), so the rotation goes on across processes; every call reads it, advances
// it and writes it back as the search goes.
#pragma once

#include <string>

#include "config/config_store.h"
#include "platform/ports.h"

namespace qv::config {

class Rotation {
  public:
    // `trayRunning`: the tray program's window was found at the start of this run; it
    // decides whether the Tessel list wraps.
    Rotation(const platform::Platform& platform, const ConfigStore& store, bool trayRunning);

    // Short path of the next existing saver after CurrentSaver, or empty at the end of the
    // list (CurrentSaver then empty, so the next call starts at the first entry).
    std::string NextRotationSaver() const;
    // Non-empty when CurrentTessel was advanced to a Tessel whose file exists.
    std::string NextRotationTessel() const;
    // The name (without ".tsl") of the first Tessel file in the Tessels folder, in the
    // listing's own order; empty when there is none. It is shown for one run only, so this
    // writes nothing: the user's Tessel list and the positions stay as they are.
    std::string FirstTessel() const;

  private:
    [[nodiscard]] std::string SaverFolder(char digit) const;
    [[nodiscard]] std::string ChosenTesselResult(const std::string& tesselPath) const;

    const platform::Platform& platform_;
    const ConfigStore& store_;
    bool trayRunning_;
};

}  // namespace qv::config
