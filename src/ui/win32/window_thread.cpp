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

bool WindowThreadGate::Post(std::function<void()> step) {
    {
        const std::lock_guard<std::mutex> hold(posting_);
        if (!open_.load()) {
            return false;
        }
        posted_.push_back(std::move(step));
        // One wake-up waits in the window's queue at a time, however many steps it carries:
        // a worker that posts faster than the window runs them cannot crowd out the other
        // messages (a close, input). A wake-up the queue refused is tried at the next post.
        if (!wakePosted_) {
            wakePosted_ = ::PostMessageW(window_.load(), kRunStep, 0, 0) != FALSE;
        }
    }
    return true;
}

void WindowThreadGate::Close() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard<std::mutex> hold(posting_);
        open_.store(false);
        dropped.swap(posted_);
    }
    // The steps' captures go here, on the window's thread, outside the lock.
}

LRESULT WindowThreadGate::RunPendingStep() {
    LRESULT ran = 0;
    if (const std::function<void()>* step = pending_.exchange(nullptr);
        step != nullptr && open_.load()) {
        (*step)();
        ran_.store(true);
        ran = 1;
    }
    // The steps posted before this wake-up, each once, in the order posted; those posted
    // while they run wait for the next wake-up, after the messages queued meanwhile. A step
    // that ends the window drops the rest.
    std::deque<std::function<void()>> due;
    {
        const std::lock_guard<std::mutex> hold(posting_);
        due.swap(posted_);
        wakePosted_ = false;
    }
    for (std::function<void()>& step : due) {
        if (!open_.load()) {
            break;
        }
        step();
        ran = 1;
    }
    return ran;
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
