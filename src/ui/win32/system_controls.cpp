#include "ui/win32/system_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "base/win32/wide.h"

namespace qv::ui::win32 {

using winbase::Widen;

std::string SystemControl::Text() const {
    const int length = ::GetWindowTextLengthW(control_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(control_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(read, 0)));
    return winbase::Narrow(text);
}

void SystemControl::SetText(std::string_view text) const {
    ::SetWindowTextW(control_, Widen(text).c_str());
}

bool CheckBox::Checked() const {
    return ::SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool on) const {
    ::SendMessageW(hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ChoiceList::IsCombo() const {
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd(), name, 16);
    return ::lstrcmpiW(name, WC_COMBOBOXW) == 0;
}

void ChoiceList::Add(std::string_view item) const {
    const std::wstring wide = Widen(item);
    ::SendMessageW(hwnd(), IsCombo() ? CB_ADDSTRING : LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(wide.c_str()));
}

void ChoiceList::Clear() const {
    ::SendMessageW(hwnd(), IsCombo() ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

int ChoiceList::Count() const {
    const LRESULT count = ::SendMessageW(hwnd(), IsCombo() ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

std::optional<int> ChoiceList::Selection() const {
    const LRESULT at = ::SendMessageW(hwnd(), IsCombo() ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return at < 0 ? std::nullopt : std::optional<int>(static_cast<int>(at));
}

void ChoiceList::Select(std::optional<int> item) const {
    ::SendMessageW(hwnd(), IsCombo() ? CB_SETCURSEL : LB_SETCURSEL,
                   static_cast<WPARAM>(item.value_or(-1)), 0);
}

void ProgressBar::SetRange(int most) const {
    ::SendMessageW(hwnd(), PBM_SETRANGE32, 0, most);
}

void ProgressBar::SetPosition(int at) const {
    ::SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(at), 0);
}

void SpinArrows::SetRange(int least, int most) const {
    ::SendMessageW(hwnd(), UDM_SETRANGE32, static_cast<WPARAM>(least), most);
}

void SpinArrows::SetPosition(int at) const {
    ::SendMessageW(hwnd(), UDM_SETPOS32, 0, at);
}

}  // namespace qv::ui::win32
