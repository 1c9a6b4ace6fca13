// The help dialog (THelpDialog): the help text, a link to the product web site and OK. It
// runs modally over the settings window; OK, Enter and its close box bring the user back.
#pragma once

#include <windows.h>

#include "platform/ports.h"
#include "ui/win32/dialog_window.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kHelpDialogClass[] = L"QuorvanesHelp";

namespace help {
inline constexpr int kText = 3001;
inline constexpr int kLabel = 3002;
inline constexpr int kLink = 3003;
inline constexpr int kClientWidth = 367;
inline constexpr int kClientHeight = 410;
}  // namespace help

class HelpDialog final : public ui::win32::DialogWindow {
  public:
    HelpDialog(HINSTANCE instance, platform::Desktop& desktop);
    ~HelpDialog() override;

    // The dialog's table, for the tests that compare it with the live window.
    static const ui::win32::DialogTable& Layout();

  private:
    [[nodiscard]] HWND InitialFocus() const override { return Control(IDOK); }
    bool OnControlsCreated() override;
    void OnCommand(int id, int code) override;
    void lblQVHyperlinkClick();

    platform::Desktop& desktop_;
};

}  // namespace qv::settings::win32
