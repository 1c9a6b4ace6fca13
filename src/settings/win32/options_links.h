// The settings window's links: the two pictures, the banner and the e-mail button show the
// hand (kept, as an application-wide cursor is, until the pointer crosses the window's own
// surface), carry their hints, and open their addresses without a window of their own.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/ports.h"

namespace qv::settings::win32 {

class OptionsLinks {
  public:
    explicit OptionsLinks(platform::Desktop& desktop) : desktop_(desktop) {}

    // The hints of the pictures and the banner; without a tooltip window they are lost and
    // the dialog still works.
    void CreateHints(HINSTANCE instance, HWND window);
    // Opens `address` when it is a web address; false when it is not or the shell refused.
    bool Open(HWND window, std::string_view address);
    // WM_SETCURSOR on the window: true when it set the cursor.
    bool OnSetCursor(HWND window, HWND under, int hitTest);

  private:
    void AddHint(HWND window, HWND control, std::string_view text);

    platform::Desktop& desktop_;
    HWND tooltip_ = nullptr;  // owned by the window, which destroys it
    bool handCursor_ = false;
};

}  // namespace qv::settings::win32
