// The saver host's hidden application window: it owns the show's window, so the program's
// taskbar button is this window's, and its style alone decides whether there is one.
#pragma once

#include <windows.h>

#include "ui/win32/window.h"

namespace qv::saver::win32 {

class AppWindow final : public ui::win32::Window {
  public:
    // A tool window has no taskbar button (the modes that must not show one).
    AppWindow(HINSTANCE instance, bool toolWindow);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefaultHandling(message, wParam, lParam);
    }
};

}  // namespace qv::saver::win32
