// The settings window's own kinds of control, each a kit window: the check list (a
// superclass of the list box that keeps each row's check mark in its item data), the
// picture and the bevelled panel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/win32/unique_handle.h"
#include "settings/options.h"
#include "settings/win32/options_layout.h"
#include "ui/win32/click.h"
#include "ui/win32/window.h"

namespace qv::settings::win32 {

// What a check list tells its parent window, sent before it acts itself: a mouse press
// (wParam: the list's id and, in the high word, 1 for the right button; lParam: the point
// in the list) and a row whose check box changed (wParam: the list's id; lParam: the row).
// Neither carries anything that points into memory.
inline constexpr UINT kWmListPress = WM_APP + 10;
inline constexpr UINT kWmCheckToggled = WM_APP + 11;
// The menu key (Apps, or Shift+F10) pressed on a check list (wParam: the list's id).
inline constexpr UINT kWmListMenuKey = WM_APP + 12;
// The row the mouse has rested on, or the row that has the focus after it moved (wParam: the
// list's id; lParam: the row, -1 for none: the mouse left and the focus went).
inline constexpr UINT kWmListGlance = WM_APP + 13;

// Where a control of the settings window goes and how it looks.
struct ControlPlacement {
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;
    int id = 0;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
};

// A decoded JPEG as a bitmap a picture control can draw; empty when it does not decode.
[[nodiscard]] winbase::UniqueGdiObject BitmapOfJpeg(const std::vector<std::uint8_t>& jpeg);

// A picture shown at the control's top left, and a click on it told to the parent as a
// static control tells it (STN_CLICKED). A click is a press and a release both on the
// picture: a press elsewhere released over it is not one.
class PictureControl : public ui::win32::Window {
  public:
    ~PictureControl() override { Destroy(); }
    [[nodiscard]] bool Create(const ControlPlacement& placement);
    // The control draws `bitmap` (it does not own it); `transparent` leaves out the colour of
    // its bottom-left pixel, as a transparent picture does.
    void SetPicture(HBITMAP bitmap, bool transparent);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint();

    HBITMAP bitmap_ = nullptr;
    bool transparent_ = false;
    ui::win32::ClickTracker click_;
};

// An etched frame, inner bevel raised and outer lowered. The inside is left to the window
// beneath, so the controls that lie on the panel are never painted over.
class PanelControl : public ui::win32::Window {
  public:
    ~PanelControl() override { Destroy(); }
    [[nodiscard]] bool Create(const ControlPlacement& placement);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Rows with check boxes that answer the mouse (the box at the row's left) and the space
// bar. The list draws its rows when its parent passes on WM_MEASUREITEM and WM_DRAWITEM.
class CheckListControl : public ui::win32::Window {
  public:
    ~CheckListControl() override { Destroy(); }
    [[nodiscard]] bool Create(const ControlPlacement& placement);

    void Fill(const CheckList& rows);
    [[nodiscard]] CheckList Read() const;
    // The check marks of `rows` put on the list's existing rows.
    void SetChecks(const CheckList& rows);
    // The row under a point of the list; nullopt below the last row.
    [[nodiscard]] std::optional<int> RowAt(LPARAM point) const;

    static void Measure(MEASUREITEMSTRUCT& item, UINT dpi);
    void Draw(const DRAWITEMSTRUCT& item, UINT dpi) const;

    // What the list tells a screen reader: its name (the caption of the group it lies in),
    // its rows, which of them have a check box, and the check box's action.
    void SetAccessibleName(std::wstring name) { accessibleName_ = std::move(name); }
    [[nodiscard]] const std::wstring& AccessibleName() const { return accessibleName_; }
    [[nodiscard]] int Count() const;
    [[nodiscard]] std::wstring RowText(int row) const;
    [[nodiscard]] bool IsChecked(int row) const;
    [[nodiscard]] bool IsCheckable(int row) const;
    void Toggle(int row);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void TellGlance(int row);
    std::optional<LRESULT> OnGlanceMessage(UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring accessibleName_;
    int hovered_ = -1;  // the row the mouse rests on, told to the parent
    int lastRow_ = -1;  // the row under the mouse when the hover was last asked for
    bool tracking_ = false;
};

}  // namespace qv::settings::win32
