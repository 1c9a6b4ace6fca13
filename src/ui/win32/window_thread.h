// Steps of a worker thread that must run on a window's thread (the Synchronize of the
// workers). A step whose answer the worker needs is sent: the worker leaves it in the gate,
// sends the gate's private message and waits until the window procedure has run it. A step
// that needs no answer is posted: the gate queues it, posts the message and the worker goes
// on at once; such a step owns (by value or shared_ptr) everything it touches but the window
// and what the window owns, since the worker's own state may be gone when it runs. The
// message carries nothing: a window procedure never takes a pointer from a message that any
// process can send. Every kit
// window owns a gate (`Window::Gate`); the window base opens it when the window is made and
// closes it when the window goes, so from then on every step is refused and no worker ever
// calls into a destroyed window. Workers are detached and never waited for: the process
// ends without them.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace qv::ui::win32 {

class WindowThreadGate {
  public:
    static constexpr UINT kRunStep = WM_APP + 1;

    // True when the step ran on the window's thread (at once, when called there). False when
    // the window is not there or has gone: the worker should end.
    bool Run(const std::function<void()>& step);
    // Queues `step` to run on the window's thread and returns at once: true when it was
    // queued, false when the window is not there or has gone (the worker should end). Steps
    // still queued when the window goes are dropped without running.
    bool Post(std::function<void()> step);
    // On the window's thread, for kRunStep: runs the step a worker left, if any, then the
    // posted ones.
    LRESULT RunPendingStep();

    // The window base's: the window is made, and the window goes.
    void Open(HWND window);
    void Close();
    [[nodiscard]] bool IsOpen() const { return open_.load(); }

  private:
    std::atomic<HWND> window_{nullptr};
    std::atomic<DWORD> thread_{0};
    std::atomic<bool> open_{false};
    std::mutex sending_;  // one worker's step at a time
    std::atomic<const std::function<void()>*> pending_{nullptr};
    std::atomic<bool> ran_{false};
    std::mutex posting_;
    std::deque<std::function<void()>> posted_;
    bool wakePosted_ = false;  // a kRunStep for the posted steps waits in the queue
};

// Starts `work` on a thread of its own that nobody waits for.
void StartDetachedWorker(std::function<void()> work);

// Workers a program lets finish before it ends (the settings dialog's delayed launches,
// which put the stored rotation back): counted as they start and end, and waited for with
// a bound.
class PendingWork {
  public:
    // Starts `work` detached, counted until it returns.
    void Start(std::function<void()> work);
    // False when some work still ran after `ms` milliseconds.
    bool WaitUntilDone(int ms);

  private:
    struct Count {
        std::mutex lock;
        std::condition_variable done;
        int running = 0;
    };
    std::shared_ptr<Count> count_ = std::make_shared<Count>();
};

}  // namespace qv::ui::win32
