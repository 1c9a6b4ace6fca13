#include "settings/win32/picture_show_dialog.h"

#include <algorithm>

#include "settings/win32/options_layout.h"

namespace qv::settings::win32 {

namespace {

namespace ids = picture_show::id;
using picture_show::kMonitorChoices;
using picture_show::kSizeChoices;
using ui::win32::CheckBox;

// The settings window's fonts, so that the two read alike.
constexpr ui::win32::DialogTable kPictureShowTable{
    {kPictureShowDialogClass, picture_show::kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU,
     WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, picture_show::kClientWidth,
     picture_show::kClientHeight},
    {kFontFace, 96, kFontHeight, kSmallFontHeight, kFontHeight},
    picture_show::kControls};

bool InGroup(std::span<const int> group, int control) {
    return std::find(group.begin(), group.end(), control) != group.end();
}

}  // namespace

const ui::win32::DialogTable& PictureShowDialog::Layout() {
    return kPictureShowTable;
}

PictureShowDialog::PictureShowDialog(HINSTANCE instance, const config::ShowModes& modes)
    : DialogWindow(instance, kPictureShowTable), modes_(modes) {}

PictureShowDialog::~PictureShowDialog() {
    Destroy();
}

HWND PictureShowDialog::InitialFocus() const {
    return Control(kSizeChoices[static_cast<std::size_t>(Picked(kSizeChoices))]);
}

bool PictureShowDialog::OnControlsCreated() {
    Pick(kSizeChoices, kSizeChoices[static_cast<std::size_t>(modes_.size)]);
    Pick(kMonitorChoices, kMonitorChoices[static_cast<std::size_t>(modes_.monitors)]);
    CheckBox(Control(ids::kCrossfade)).SetChecked(modes_.crossfade);
    return true;
}

void PictureShowDialog::OnCommand(int control, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    // A click on a checked choice leaves it checked: a group always holds one.
    if (InGroup(kSizeChoices, control)) {
        Pick(kSizeChoices, control);
    } else if (InGroup(kMonitorChoices, control)) {
        Pick(kMonitorChoices, control);
    }
}

void PictureShowDialog::OnOk() {
    modes_.size = static_cast<config::PictureSize>(Picked(kSizeChoices));
    modes_.monitors = static_cast<config::MonitorUse>(Picked(kMonitorChoices));
    modes_.crossfade = CheckBox(Control(ids::kCrossfade)).Checked();
    EndModal(IDOK);
}

void PictureShowDialog::Pick(std::span<const int> group, int picked) const {
    for (const int choice : group) {
        CheckBox(Control(choice)).SetChecked(choice == picked);
    }
}

int PictureShowDialog::Picked(std::span<const int> group) const {
    for (std::size_t k = 0; k < group.size(); ++k) {
        if (CheckBox(Control(group[k])).Checked()) {
            return static_cast<int>(k);
        }
    }
    return 0;
}

}  // namespace qv::settings::win32
