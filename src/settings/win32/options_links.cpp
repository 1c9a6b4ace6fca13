#include "settings/win32/options_links.h"

#include <commctrl.h>

#include <string>

#include "base/win32/wide.h"
#include "desktop/web_address.h"
#include "settings/win32/options_layout.h"

namespace qv::settings::win32 {

void OptionsLinks::CreateHints(HINSTANCE instance, HWND window) {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                 nullptr, instance, nullptr);
    AddHint(window, ::GetDlgItem(window, id::kLogo), kImageHint);
    AddHint(window, ::GetDlgItem(window, id::kCustomer), kImageHint);
    AddHint(window, ::GetDlgItem(window, id::kBanner), kBannerHint);
}

void OptionsLinks::AddHint(HWND window, HWND control, std::string_view text) {
    if (tooltip_ == nullptr || control == nullptr) {
        return;
    }
    std::wstring wide = winbase::Widen(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The customer's link comes from a library anyone can put in the Tessels folder: like every
// address, it opens only when it is a web address.
bool OptionsLinks::Open(HWND window, std::string_view address) {
    return desktop::OpenWebAddress(desktop_, reinterpret_cast<platform::WindowId>(window), address,
                                   platform::ShowCommand::Hide)
        .opened();
}

bool OptionsLinks::OnSetCursor(HWND window, HWND under, int hitTest) {
    if (hitTest != HTCLIENT) {
        return false;
    }
    const int control = ::GetDlgCtrlID(under);
    if (under == window) {
        handCursor_ = false;
    } else if (control == id::kLogo || control == id::kCustomer || control == id::kBanner ||
               control == id::kEmailList) {
        handCursor_ = true;
    }
    ::SetCursor(::LoadCursorW(nullptr, handCursor_ ? IDC_HAND : IDC_ARROW));
    return true;
}

}  // namespace qv::settings::win32
