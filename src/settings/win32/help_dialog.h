// The help dialog (THelpDialog): the help text, a link to the product web site and OK. It
// runs modally over the settings window; OK, Enter and its close box bring the user back.
#pragma once

#include <windows.h>

#include "platform/ports.h"
#include "ui/win32/modal_window.h"
#include "base/win32/unique_handle.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kHelpDialogClass[] = L"QuorvanesHelp";

namespace help {
inline constexpr int kText = 3001;
inline constexpr int kLabel = 3002;
inline constexpr int kLink = 3003;
inline constexpr int kClientWidth = 367;
inline constexpr int kClientHeight = 410;
}  // namespace help

class HelpDialog final : public ui::win32::ModalWindow {
  public:
    HelpDialog(HINSTANCE instance, platform::Desktop& desktop);
    ~HelpDialog() override;

  private:
    bool CreateModal(HWND owner) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    [[nodiscard]] HWND InitialFocus() const override { return ::GetDlgItem(hwnd(), IDOK); }
    void OnDpiChanged(UINT dpi) override;
    [[nodiscard]] bool CreateControls();
    void LayOut();
    void lblQVHyperlinkClick();

    HINSTANCE instance_;
    platform::Desktop& desktop_;
    UINT dpi_ = 96;
    winbase::UniqueGdiObject font_;
    winbase::UniqueGdiObject linkFont_;
};

}  // namespace qv::settings::win32
