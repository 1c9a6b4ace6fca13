// The common controls (tooltips, up-down arrows, the themed standard controls), loaded
// when a window first needs them rather than with the program.
#pragma once

#include <windows.h>

namespace qv::ui::win32 {

// Registers the common-control classes named by `classes` (ICC_… flags), loading the
// library on first use; false when it cannot be loaded. Call it on the thread that
// creates the controls, before it does.
[[nodiscard]] bool UseCommonControls(DWORD classes);

}  // namespace qv::ui::win32
