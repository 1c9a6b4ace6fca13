#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

WriteResult MemorySystemSettings::SetScreenSaveActive(bool active) {
    if (activeRefused) {
        return WriteResult::Failed(*activeRefused);
    }
    screenSaveActive = active;
    return WriteResult::Done();
}

WriteResult MemorySystemSettings::SetScreenSaveTimeout(int seconds) {
    if (timeoutRefused) {
        return WriteResult::Failed(*timeoutRefused);
    }
    screenSaveTimeout = seconds;
    return WriteResult::Done();
}

WriteResult MemorySystemSettings::SetScreenSaverRunning(bool running) {
    screenSaverRunningCalls.push_back(running);
    return WriteResult::Done();
}

}  // namespace qv::platform::memory
