// The one message loop of the programs.
#pragma once

#include <windows.h>

namespace qv::ui::win32 {

// The exit code when GetMessage fails: the loop cannot go on, and the callers' window
// objects destroy their windows as they go (which removes, say, the tray icon).
inline constexpr int kMessageLoopFailed = 1;

// Dispatches the thread's messages until WM_QUIT and returns its exit code. Keys for
// `dialog` (Tab, Enter, Escape) go through IsDialogMessage. With `ended`, the loop also
// stops once *ended is true (a modal window; EndModal wakes the loop), and a WM_QUIT seen
// then is posted again for the loop outside.
int RunMessageLoop(HWND dialog = nullptr, const bool* ended = nullptr);

}  // namespace qv::ui::win32
