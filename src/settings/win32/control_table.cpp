#include "settings/win32/control_table.h"

#include <windows.h>

#include <commctrl.h>

#include "adbanner/win32/ad_image.h"
#include "settings/win32/controls.h"

namespace qv::settings::win32 {

ControlStyle StyleOf(const ControlLayout& control) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
        case ControlKind::Image:
            return {kPictureClass, kChild, 0};
        case ControlKind::Label: {
            DWORD align = SS_LEFTNOWORDWRAP;
            if ((control.look & look::kCentred) != 0) {
                align = SS_CENTER;
            } else if ((control.look & look::kWordWrap) != 0) {
                align = SS_LEFT;
            }
            const DWORD notify = (control.look & look::kLink) != 0 ? SS_NOTIFY : 0;
            return {WC_STATICW, kChild | SS_NOPREFIX | align | notify, 0};
        }
        case ControlKind::GroupBox:
            return {WC_BUTTONW, kChild | BS_GROUPBOX, 0};
        case ControlKind::CheckList:
            return {kCheckListClass,
                    kChild | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::Panel:
            return {kPanelClass, kChild, 0};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::Button:
            return {WC_BUTTONW,
                    kChild | WS_TABSTOP |
                        ((control.look & look::kDefault) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                    0};
        case ControlKind::SpinEdit:
            return {WC_EDITW, kChild | WS_TABSTOP | ES_NUMBER | ES_LEFT, WS_EX_CLIENTEDGE};
        case ControlKind::Banner:  // made by the banner control itself
            return {adbanner::win32::kAdImageClass, kChild, 0};
        case ControlKind::TextBox:
            return {WC_EDITW,
                    kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL,
                    WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, kChild, 0};
}

}  // namespace qv::settings::win32
