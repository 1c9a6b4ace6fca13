// A user's first experience of an installation, given once to each user: by the NSIS
// installer for the user who installs, and by Windows' per-user first-log-on mechanism for
// machine-wide installations (Active Setup: QVUserSetup.exe, registered by both installers)
// for every user who logs on later. What nobody has chosen yet is set; nothing a user chose
// is changed.
#pragma once

#include <string_view>

#include "platform/ports.h"

namespace qv::config {

struct FirstLogon {
    bool seededRotation = false;  // the user had neither `Saver` nor `Tessel`
    bool setScreenSaver = false;  // the user had no system screen saver
    bool failed = false;          // a value could not be written
};

// 1. A user with neither a `Saver` nor a `Tessel` value gets `sampleRotation` as `Tessel`
//    and `ScreenSaverType` "0" (the installation's sample Tessels).
// 2. A user whose system.ini [boot] "SCRNSAVE.EXE" is missing or empty gets the short form
//    of the machine value `InstallLocation`, announced, with screen saving switched on. A
//    user whose screen saver is "(None)" counts as one without a choice: Windows records
//    both alike. Without an `InstallLocation` (or its short form) nothing is written.
FirstLogon GiveFirstExperience(const platform::Platform& platform, std::string_view sampleRotation);

}  // namespace qv::config
