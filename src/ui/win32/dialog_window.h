// A modal dialog declared as a table: the frame (class, caption, styles, client size at
// 96 DPI), the fonts, and one row per control. The base makes the window at its DPI, walks
// the table to create the children, gives each its font and place, and walks it again
// whenever the DPI changes. A derived dialog adds its own kit windows (rows of kind Window),
// fills the controls, and answers OnOk, OnCancel and OnCommand.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/win32/unique_handle.h"
#include "ui/win32/control_table.h"
#include "ui/win32/modal_window.h"
#include "ui/win32/system_controls.h"

namespace qv::ui::win32 {

struct DialogFrame {
    const wchar_t* className = nullptr;
    std::string_view caption;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    int clientWidth = 0;  // at 96 DPI
    int clientHeight = 0;
    const wchar_t* icon = nullptr;  // the program's icon resource; nullptr: none
    DWORD commonControls = 0;       // ICC_ classes the dialog needs, loaded before it is made
};

// The fonts rows take by their look: bold, small, links (underlined), and the face's own.
struct DialogFonts {
    const wchar_t* face = L"Arial";
    int designDpi = 96;  // the density the pixel heights are given at
    int pixels = 12;
    int smallPixels = 11;
    int linkPixels = 12;
};

struct DialogTable {
    DialogFrame frame;
    DialogFonts fonts;
    ControlTable controls;
    int dropDownHeight = 120;  // what a combo box's list adds to its height, at 96 DPI
};

class DialogWindow : public ModalWindow {
  public:
    [[nodiscard]] HWND Control(int id) const { return ::GetDlgItem(hwnd(), id); }
    [[nodiscard]] const DialogTable& Table() const { return table_; }

  protected:
    DialogWindow(HINSTANCE instance, const DialogTable& table)
        : instance_(instance), table_(table) {}

    // Makes the kit window of a row of kind Window, as a child of the dialog with the row's
    // id; false when it could not be made (the dialog then does not open).
    [[nodiscard]] virtual bool CreateOwnControl(const ControlLayout& row);
    // Every control is made and laid out: the dialog fills them. False: it does not open.
    [[nodiscard]] virtual bool OnControlsCreated() { return true; }
    // The walk has placed every control for the DPI (at the start and after each change).
    virtual void OnLaidOut() {}
    // WM_COMMAND from a control or a menu, but OK and Cancel, which come as OnOk, OnCancel.
    virtual void OnCommand(int /*id*/, int /*code*/) {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    [[nodiscard]] HINSTANCE Instance() const { return instance_; }
    [[nodiscard]] UINT Dpi() const { return dpi_; }
    // The table's row for `id`, or nullptr.
    [[nodiscard]] const ControlLayout* RowOf(int id) const;
    // A row's font, by its look, at the window's DPI.
    [[nodiscard]] HGDIOBJ FontOf(const ControlLayout& row) const;

  private:
    bool CreateModal(HWND owner) final;
    void OnDpiChanged(UINT dpi) final;
    [[nodiscard]] bool CreateControl(const ControlLayout& row);
    void MakeFonts();
    void LayOut();
    void Place(const ControlLayout& row);
    [[nodiscard]] bool IsLink(HWND control) const;

    HINSTANCE instance_;
    const DialogTable& table_;
    UINT dpi_ = 96;
    winbase::UniqueGdiObject font_;
    winbase::UniqueGdiObject boldFont_;
    winbase::UniqueGdiObject smallFont_;
    winbase::UniqueGdiObject linkFont_;
};

}  // namespace qv::ui::win32
