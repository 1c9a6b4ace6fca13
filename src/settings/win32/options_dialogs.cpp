// The settings window's buttons and menu entries that open a dialog of their own: help,
// the picture show's choices and the Tessel maker.
#include "settings/win32/options_window.h"

#include <commctrl.h>

#include "platform/messages.h"
#include "settings/win32/help_dialog.h"
#include "settings/win32/new_tessel_dialog.h"
#include "settings/win32/picture_show_dialog.h"

namespace qv::settings::win32 {

namespace {

constexpr std::string_view kHelpFailed = "Quorvanes could not open its help.";
constexpr std::string_view kPictureShowFailed =
    "Quorvanes could not open the picture show's settings.";

}  // namespace

void OptionsWindow::btnHelpClick() {
    HelpDialog help(Instance(), platform_.desktop);
    if (help.ShowModal(hwnd()) == ui::win32::kModalNotShown) {
        platform::ShowHostMessage(*dialogs_, kHelpFailed);
    }
}

// Cancel there keeps the choice as it was; OK there is stored only by this window's OK.
void OptionsWindow::btnPictureShowClick() {
    PictureShowDialog picture(Instance(), showModes_);
    const int shown = picture.ShowModal(hwnd());
    if (shown == IDOK) {
        showModes_ = picture.Chosen();
    } else if (shown == ui::win32::kModalNotShown) {
        platform::ShowHostMessage(*dialogs_, kPictureShowFailed);
    }
}

void OptionsWindow::NewTesselClick() {
    tip_.Hide();
    const auto made = RunNewTessel(Instance(), hwnd(), Owned(), start_.tesselFolders);
    if (!made) {
        return;
    }
    tip_.Forget();  // it may have replaced a Tessel the tip has read
    const auto with = WithNewTessel(
        tessels_.Read(),
        InitLstQuorvanes(platform_, config::OpenUserIni(platform_.registry), start_.tesselFolders),
        *made, platform_.text);
    tessels_.Fill(with.list);
    ::SendMessageW(tessels_.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(with.row), 0);
    ::SetFocus(tessels_.hwnd());
}

}  // namespace qv::settings::win32
