// Steps of a worker thread that must run on a window's thread: the worker sends a private
// message and waits until the window procedure has run the step. The gate closes when the
// window goes; from then on every step is refused and the worker ends, so no worker ever
// calls into a destroyed window. Workers are detached and never waited for: the process
// ends without them.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

namespace qv::saver::win32 {

class WindowThreadGate {
  public:
    static constexpr UINT kRunStep = WM_APP + 1;

    explicit WindowThreadGate(HWND window) : window_(window) {}

    // On a worker: true when the step ran on the window's thread.
    bool Run(const std::function<void()>& step) const;
    // On the window's thread, for kRunStep.
    LRESULT RunSentStep(LPARAM lParam) const;
    // On the window's thread, before the window and what its steps touch go away.
    void Close() { open_.store(false); }

  private:
    HWND window_;
    std::atomic<bool> open_{true};
};

// Starts `work` on a thread of its own that nobody waits for.
void StartDetachedWorker(std::function<void()> work);

}  // namespace qv::saver::win32
