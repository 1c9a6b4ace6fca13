// The settings window's own kinds of control: the check list (an owner-drawn list box that
// keeps each row's check mark in its item data), the picture and the bevelled panel.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/options.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kPictureClass[] = L"QuorvanesPicture";
inline constexpr wchar_t kPanelClass[] = L"QuorvanesPanel";

// The classes of the picture and the panel, registered once.
void RegisterControlClasses(HINSTANCE instance);

// A picture control shows this bitmap at its top left (the control owns a copy of the
// handle's use, not the bitmap); `transparent` leaves out the colour of its bottom-left
// pixel, as a transparent picture does.
void SetPicture(HWND control, HBITMAP bitmap, bool transparent);

// Check lists.
void MakeCheckList(HWND list);  // the rows' check boxes answer the mouse and the space bar
void FillCheckList(HWND list, const CheckList& rows);
[[nodiscard]] CheckList ReadCheckList(HWND list);
// WM_MEASUREITEM and WM_DRAWITEM of a check list, sent to its parent window.
void MeasureCheckRow(MEASUREITEMSTRUCT& item, UINT dpi);
void DrawCheckRow(const DRAWITEMSTRUCT& item, UINT dpi);

}  // namespace qv::settings::win32
