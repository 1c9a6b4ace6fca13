// The settings window's own kinds of control: the check list (an owner-drawn list box that
// keeps each row's check mark in its item data), the picture and the bevelled panel.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/options.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kPictureClass[] = L"QuorvanesPicture";
inline constexpr wchar_t kPanelClass[] = L"QuorvanesPanel";
inline constexpr wchar_t kCheckListClass[] = L"QuorvanesCheckList";

// The classes of the picture, the panel and the check list, registered once.
void RegisterControlClasses(HINSTANCE instance);

// A picture control shows this bitmap at its top left (the control owns a copy of the
// handle's use, not the bitmap); `transparent` leaves out the colour of its bottom-left
// pixel, as a transparent picture does.
void SetPicture(HWND control, HBITMAP bitmap, bool transparent);

// What a check list tells its parent window, sent before it acts itself: a mouse press
// (wParam: the list's id and, in the high word, 1 for the right button; lParam: the point
// in the list) and a row whose check box changed (wParam: the list's id; lParam: the row).
// Neither carries anything that points into memory.
inline constexpr UINT kWmListPress = WM_APP + 10;
inline constexpr UINT kWmCheckToggled = WM_APP + 11;

// Check lists: their rows' check boxes answer the mouse and the space bar.
void FillCheckList(HWND list, const CheckList& rows);
[[nodiscard]] CheckList ReadCheckList(HWND list);
// The check marks of `rows` put on the list's existing rows.
void SetChecks(HWND list, const CheckList& rows);
// The row under a point of the list; nullopt below the last row.
[[nodiscard]] std::optional<int> RowAt(HWND list, LPARAM point);
// WM_MEASUREITEM and WM_DRAWITEM of a check list, sent to its parent window.
void MeasureCheckRow(MEASUREITEMSTRUCT& item, UINT dpi);
void DrawCheckRow(const DRAWITEMSTRUCT& item, UINT dpi);

}  // namespace qv::settings::win32
