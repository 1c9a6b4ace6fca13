// The saver host's hidden application window: it owns the taskbar button of the program,
// and its forms are owned by it, so one style change hides the button in the modes that
// must not show one.
#pragma once

#include <windows.h>

namespace qv::saver::win32 {

class AppWindow {
  public:
    explicit AppWindow(HINSTANCE instance);
    ~AppWindow();
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    [[nodiscard]] HWND hwnd() const { return hwnd_; }
    // WS_EX_APPWINDOW off, WS_EX_TOOLWINDOW on.
    void UseToolWindowStyle() const;

  private:
    HWND hwnd_ = nullptr;
};

}  // namespace qv::saver::win32
