#include "ui/win32/window_thread.h"

#include <thread>

namespace qv::ui::win32 {

bool WindowThreadGate::Run(const std::function<void()>& step) {
    const std::lock_guard<std::mutex> one(sending_);
    if (!open_.load()) {
        return false;
    }
    ran_.store(false);
    pending_.store(&step);
    // A window already destroyed makes SendMessage return at once without running anything.
    ::SendMessageW(window_, kRunStep, 0, 0);
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

}  // namespace qv::ui::win32
