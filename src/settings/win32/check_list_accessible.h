// What a screen reader learns of a check list, through Microsoft Active Accessibility: the
// list with its name, and each row as a check box with its text, its checked, selected and
// focused states, and "Check" / "Uncheck" as its default action.
#pragma once

#include <windows.h>

#include <string>

namespace qv::settings::win32 {

class CheckListControl;

// The answer to WM_GETOBJECT for the list's client area; 0 (the system's own answer) for
// anything else, or when the accessibility libraries are missing.
LRESULT AnswerGetObject(const CheckListControl& list, WPARAM wParam, LPARAM lParam);

// Tells listeners that a row's check box changed.
void NotifyCheckChanged(HWND list, int row);

}  // namespace qv::settings::win32
