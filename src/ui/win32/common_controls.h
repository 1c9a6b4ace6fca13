// The common controls (tooltips, up-down arrows, the themed standard controls), loaded
// when a window first needs them rather than with the program.
#pragma once

#include <windows.h>

namespace qv::ui::win32 {

// Registers the common-control classes named by `classes` (ICC_… flags), loading the
// library on first use; false when it cannot be loaded. Call it on the thread that
// creates the controls, before it does.
[[nodiscard]] bool UseCommonControls(DWORD classes);

// Draws `control` without the visual style, as the system's classic controls draw: in the
// system's colours, which a style does not follow. Windows turns the style off for a
// high-contrast scheme by itself, Wine does not, and neither does for colours the user set;
// a group box's caption drawn by the style stays dark on a dark face. Nothing happens where
// there are no styles.
void DrawWithoutVisualStyle(HWND control);

}  // namespace qv::ui::win32
