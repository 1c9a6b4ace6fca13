// The saver host's hidden application window: it owns the taskbar button of the program,
// and its forms are owned by it, so one style change hides the button in the modes that
// must not show one.
#pragma once

#include <windows.h>

#include "ui/win32/window.h"

namespace qv::saver::win32 {

class AppWindow final : public ui::win32::Window {
  public:
    explicit AppWindow(HINSTANCE instance);

    // WS_EX_APPWINDOW off, WS_EX_TOOLWINDOW on.
    void UseToolWindowStyle() const;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefaultHandling(message, wParam, lParam);
    }
};

}  // namespace qv::saver::win32
