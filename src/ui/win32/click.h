// A click as a button takes it: the left button pressed and released, both on the window.
// The press captures the mouse, so the release comes to the window wherever it happens; a
// press elsewhere released over the window is no click.
#pragma once

#include <windows.h>

namespace qv::ui::win32 {

class ClickTracker {
  public:
    enum class Event { NotMine, Taken, Clicked };

    // For every message of the window: whether it was part of a click, and whether it
    // completed one.
    Event OnMessage(HWND window, UINT message, LPARAM lParam);

  private:
    bool pressed_ = false;
};

}  // namespace qv::ui::win32
