// Starting the child processes of the programs: system savers and Preshows, and the
// command line of every process they start.
#pragma once

#include <string_view>

#include "config/config_store.h"
#include "platform/ports.h"

namespace qv::launch {

// Starts a saver's .scr with " /s" at high priority and waits until it ends. A saver that
// cannot be started (also an empty path) is reported and the call returns.
void LaunchSaverProcess(const platform::Platform& platform, std::string_view path);

// Starts the Preshow `name` (file name without ".exe") from the Preshows folder of the
// Tessels folder, with `arguments` when not empty; waits for it when `wait`. A missing file
// does nothing.
void LaunchPreshow(const platform::Platform& platform, const config::ConfigStore& store,
                   std::string_view name, std::string_view arguments, bool wait);

// The command line for a program path, for every process the programs start: quoted when
// it holds a blank, so that no shorter path ("C:\Program.exe") can be started instead; a
// path that is quoted already is left as it is.
std::string CommandLineFor(std::string_view programPath);

}  // namespace qv::launch
