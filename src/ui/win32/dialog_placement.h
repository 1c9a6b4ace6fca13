// Where the boxes and dialogs owned by a window open: centred on the primary monitor's
// work area and above the owner, even when the owner is topmost and as wide as every
// monitor (the picture show), where the system would choose a monitor of its own.
#pragma once

#include <windows.h>

#include "base/win32/unique_handle.h"

namespace qv::ui::win32 {

class OwnedDialogPlacement {
  public:
    OwnedDialogPlacement() = default;
    ~OwnedDialogPlacement() { Stop(); }
    OwnedDialogPlacement(const OwnedDialogPlacement&) = delete;
    OwnedDialogPlacement& operator=(const OwnedDialogPlacement&) = delete;

    // From now on, on the calling thread (the owner's), every window that `owner` owns is
    // placed when it is first activated. The owner carries the mark the hook looks for, so
    // the hook keeps no state of its own; nothing happens when the hook cannot be set.
    void Start(HWND owner);
    void Stop();

  private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) noexcept;

    HWND owner_ = nullptr;
    winbase::UniqueHhook hook_;
};

}  // namespace qv::ui::win32
