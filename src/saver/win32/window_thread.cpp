#include "saver/win32/window_thread.h"

#include <thread>

namespace qv::saver::win32 {

bool WindowThreadGate::Run(const std::function<void()>& step) const {
    if (!open_.load()) {
        return false;
    }
    // A window already destroyed makes SendMessage return 0 without running anything.
    const LRESULT ran = ::SendMessageW(window_, kRunStep, 0, reinterpret_cast<LPARAM>(&step));
    return ran == 1;
}

LRESULT WindowThreadGate::RunSentStep(LPARAM lParam) const {
    if (!open_.load()) {
        return 0;
    }
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 1;
}

void StartDetachedWorker(std::function<void()> work) {
    std::thread(std::move(work)).detach();
}

}  // namespace qv::saver::win32
