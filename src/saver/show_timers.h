// The bodies of the picture show's two worker threads, apart from any thread, so they
// run against a fake clock in tests. Each reaches the window only through `post`, which
// queues a step for the window's thread (the step is copied: it owns what it captures) and
// returns false once the window is gone.
#pragma once

#include <atomic>
#include <functional>

#include "platform/ports.h"

namespace qv::saver {

using Synchronize = std::function<bool(const std::function<void()>&)>;

// SSTimerPictThread: sleeps the interval first, then shows the next picture; forever,
// until the window is gone.
void RunPictureTimer(platform::Clock& clock, int seconds, const Synchronize& post,
                     const std::function<void()>& showNext);

// SSTimerTerminateThread: counts `seconds` in 100 ms ticks, not counting while `suspended`
// is set, then runs `timeout` once on the window's thread.
void RunCountdown(platform::Clock& clock, int seconds, const std::atomic<bool>& suspended,
                  const Synchronize& post, const std::function<void()>& timeout);

}  // namespace qv::saver
