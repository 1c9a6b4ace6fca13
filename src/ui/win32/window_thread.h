// Steps of a worker thread that must run on a window's thread (the Synchronize of the
// workers): the worker leaves its step in the gate, sends the gate's private message and
// waits until the window procedure has run it. The message carries nothing: a window
// procedure never takes a pointer from a message that any process can send. The gate
// closes when its window goes; from then on every step is refused and the worker ends, so
// no worker ever calls into a destroyed window. Workers are detached and never waited
// for: the process ends without them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>

namespace qv::ui::win32 {

class WindowThreadGate {
  public:
    static constexpr UINT kRunStep = WM_APP + 1;

    explicit WindowThreadGate(HWND window) : window_(window) {}

    // On a worker: true when the step ran on the window's thread.
    bool Run(const std::function<void()>& step);
    // On the window's thread, for kRunStep: runs the step a worker left, if any.
    LRESULT RunPendingStep();
    // On the window's thread, before the window and what its steps touch go away.
    void Close() { open_.store(false); }

  private:
    HWND window_;
    std::atomic<bool> open_{true};
    std::mutex sending_;  // one worker's step at a time
    std::atomic<const std::function<void()>*> pending_{nullptr};
    std::atomic<bool> ran_{false};
};

// Starts `work` on a thread of its own that nobody waits for.
void StartDetachedWorker(std::function<void()> work);

}  // namespace qv::ui::win32
