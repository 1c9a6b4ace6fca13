// The show's three workers: the picture timer, the close countdown and the decoder. None
// needs an answer from the window: each posts its steps through the show's gate, and each
// step owns what it carries (the show it calls stays while the gate is open).
#include "platform/win32/win32_platform.h"
#include "saver/show_timers.h"
#include "saver/win32/picture_window.h"
#include "saver/win32/start_trace.h"
#include "ui/win32/window_thread.h"

namespace qv::saver::win32 {

namespace {

using ui::win32::StartDetachedWorker;

Synchronize PostTo(const std::shared_ptr<ui::win32::WindowThreadGate>& gate) {
    return [gate](const std::function<void()>& step) { return gate->Post(step); };
}

}  // namespace

void PictureWindow::StartPictureTimer(int seconds) {
    PictureShow* show = show_;
    StartDetachedWorker([gate = Gate(), seconds, show] {
        platform::win32::Win32Clock clock;
        RunPictureTimer(clock, seconds, PostTo(gate), [show] { show->LoadNewPict(); });
    });
}

void PictureWindow::StartCountdown(int seconds) {
    PictureShow* show = show_;
    StartDetachedWorker([gate = Gate(), suspended = show_->Suspended(), seconds, show] {
        platform::win32::Win32Clock clock;
        RunCountdown(clock, seconds, *suspended, PostTo(gate),
                     [show] { show->OnCountdownTimeout(); });
    });
}

void PictureWindow::StartDecode(std::shared_ptr<PictureSource> source, FrameRequest request) {
    PictureShow* show = show_;
    StartDetachedWorker(
        [gate = Gate(), source = std::move(source), request = std::move(request), show] {
            MarkStart("decoder-running");
            const Synchronize post = PostTo(gate);
            RunDecode(
                *source, request, [&gate] { return gate->IsOpen(); },
                [&post](const std::function<void()>& step) {
                    MarkStart("picture-decoded");
                    return post(step);
                },
                [show](DecodedPicture& decoded) { show->OnPictureDecoded(decoded); });
        });
}

}  // namespace qv::saver::win32
