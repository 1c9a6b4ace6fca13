// The "Picture show" dialog: how the show sizes its pictures, which monitors it uses and
// how one picture gives way to the next. It runs modally over the settings window and
// only hands back the choice: the settings window stores it with the rest at its OK.
#pragma once

#include <windows.h>

#include <span>

#include "config/show_modes.h"
#include "settings/win32/picture_show_layout.h"
#include "ui/win32/dialog_window.h"

namespace qv::settings::win32 {

class PictureShowDialog final : public ui::win32::DialogWindow {
  public:
    PictureShowDialog(HINSTANCE instance, const config::ShowModes& modes);
    ~PictureShowDialog() override;

    // The dialog's table, for the tests that compare it with the live window.
    static const ui::win32::DialogTable& Layout();

    // What the user chose; after Cancel, what the dialog was opened with.
    [[nodiscard]] const config::ShowModes& Chosen() const { return modes_; }

  private:
    [[nodiscard]] HWND InitialFocus() const override;
    bool OnControlsCreated() override;
    void OnCommand(int id, int code) override;
    void OnOk() override;
    // Checks `picked` and clears the other choices of its group.
    void Pick(std::span<const int> group, int picked) const;
    // The index of the group's checked choice.
    [[nodiscard]] int Picked(std::span<const int> group) const;

    config::ShowModes modes_;
};

}  // namespace qv::settings::win32
