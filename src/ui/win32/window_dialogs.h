// The message boxes of a window: every box is owned by the window (so it is modal to it and
// stays in front of it) and shown on the window's thread, also when a worker asks for it.
// Once the window has gone, a box is not shown and answers Cancel. A worker may keep this
// object longer than the window: the window is reached only inside the gate's step.
#pragma once

#include <memory>

#include "platform/ports.h"
#include "ui/win32/window.h"

namespace qv::ui::win32 {

class WindowDialogs final : public platform::Dialogs {
  public:
    WindowDialogs(platform::Dialogs& system, const Window& window)
        : system_(system), window_(window), gate_(window.Gate()) {}

    platform::Answer Show(const platform::MessageBoxRequest& request) override {
        platform::Answer answer = platform::Answer::Cancel;
        (void)gate_->Run([&] {
            platform::MessageBoxRequest owned = request;
            if (owned.owner == 0) {
                owned.owner = reinterpret_cast<platform::WindowId>(window_.hwnd());
            }
            answer = system_.Show(owned);
        });
        return answer;
    }

  private:
    platform::Dialogs& system_;
    const Window& window_;
    std::shared_ptr<WindowThreadGate> gate_;
};

}  // namespace qv::ui::win32
