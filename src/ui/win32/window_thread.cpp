#include "ui/win32/window_thread.h"

#include <thread>

namespace qv::ui::win32 {

void WindowThreadGate::Open(HWND window) {
    window_.store(window);
    thread_.store(::GetWindowThreadProcessId(window, nullptr));
    open_.store(true);
}

bool WindowThreadGate::Run(const std::function<void()>& step) {
    if (open_.load() && ::GetCurrentThreadId() == thread_.load()) {
        step();  // already on the window's thread (a step that shows a box, say)
        return true;
    }
    const std::lock_guard<std::mutex> one(sending_);
    if (!open_.load()) {
        return false;
    }
    ran_.store(false);
    pending_.store(&step);
    // A window already destroyed makes SendMessage return at once without running anything.
    ::SendMessageW(window_.load(), kRunStep, 0, 0);
    pending_.store(nullptr);
    return ran_.load();
}

LRESULT WindowThreadGate::RunPendingStep() {
    const std::function<void()>* step = pending_.exchange(nullptr);
    if (step == nullptr || !open_.load()) {
        return 0;  // a stray message, or the window is going
    }
    (*step)();
    ran_.store(true);
    return 1;
}

void StartDetachedWorker(std::function<void()> work) {
    std::thread(std::move(work)).detach();
}

void PendingWork::Start(std::function<void()> work) {
    {
        const std::lock_guard<std::mutex> hold(count_->lock);
        ++count_->running;
    }
    // The count is shared: a worker that outlives the wait still has it.
    StartDetachedWorker([count = count_, work = std::move(work)] {
        struct Ended {
            Count& count;
            ~Ended() {
                const std::lock_guard<std::mutex> hold(count.lock);
                --count.running;
                count.done.notify_all();
            }
        } ended{*count};
        work();
    });
}

bool PendingWork::WaitUntilDone(int ms) {
    std::unique_lock<std::mutex> hold(count_->lock);
    return count_->done.wait_for(hold, std::chrono::milliseconds(ms),
                                 [this] { return count_->running == 0; });
}

}  // namespace qv::ui::win32
