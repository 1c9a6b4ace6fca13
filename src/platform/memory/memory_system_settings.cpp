#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

bool MemorySystemSettings::SetScreenSaveActive(bool active) {
    screenSaveActive = active;
    return true;
}

bool MemorySystemSettings::SetScreenSaveTimeout(int seconds) {
    screenSaveTimeout = seconds;
    return true;
}

bool MemorySystemSettings::SetScreenSaverRunning(bool running) {
    screenSaverRunningCalls.push_back(running);
    return true;
}

}  // namespace qv::platform::memory
