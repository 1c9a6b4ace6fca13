#include "saver/show_timers.h"

namespace qv::saver {

namespace {

constexpr std::int64_t kTickMs = 100;

}  // namespace

void RunPictureTimer(platform::Clock& clock, int seconds, const Synchronize& post,
                     const std::function<void()>& showNext) {
    const std::int64_t interval = std::int64_t{seconds} * 1000;
    for (;;) {
        clock.SleepMs(interval);
        if (!post(showNext)) {
            return;
        }
    }
}

void RunCountdown(platform::Clock& clock, int seconds, const std::atomic<bool>& suspended,
                  const Synchronize& post, const std::function<void()>& timeout) {
    std::int64_t ticksLeft = std::int64_t{seconds} * 10;
    for (;;) {
        clock.SleepMs(kTickMs);
        if (suspended.load()) {
            continue;
        }
        if (--ticksLeft <= 0) {
            (void)post(timeout);
            return;
        }
    }
}

}  // namespace qv::saver
