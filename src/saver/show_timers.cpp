#include "saver/show_timers.h"

namespace qv::saver {

namespace {

constexpr std::int64_t kTickMs = 100;

}  // namespace

void RunPictureTimer(platform::Clock& clock, int seconds, const Synchronize& synchronize,
                     const std::function<void()>& showNext) {
    const std::int64_t interval = std::int64_t{seconds} * 1000;
    for (;;) {
        clock.SleepMs(interval);
        if (!synchronize(showNext)) {
            return;
        }
    }
}

void RunCountdown(platform::Clock& clock, int seconds, const std::atomic<bool>& suspended,
                  const Synchronize& synchronize, const std::function<void()>& timeout) {
    std::int64_t ticksLeft = std::int64_t{seconds} * 10;
    for (;;) {
        clock.SleepMs(kTickMs);
        if (suspended.load()) {
            continue;
        }
        if (--ticksLeft <= 0) {
            synchronize(timeout);
            return;
        }
    }
}

}  // namespace qv::saver
