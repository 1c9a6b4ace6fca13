#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

void FakeClock::SleepMs(std::int64_t ms) {
    now += ms;
    if (onSleep) {
        onSleep(ms);
    }
}

}  // namespace qv::platform::memory
