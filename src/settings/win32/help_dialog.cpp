#include "settings/win32/help_dialog.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/wide.h"
#include "settings/options.h"
#include "ui/win32/dpi.h"

namespace qv::settings::win32 {

namespace {

using platform::win32::UniqueGdiObject;
using platform::win32::Widen;
using ui::win32::Scaled;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// The dialog was laid out at 120 pixels per inch: its fonts are given at that density.
constexpr int kDesignDpi = 120;
constexpr int kFontHeight = 14;
constexpr int kLinkFontHeight = 15;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

struct HelpControl {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    RECT place;  // left, top, width, height at 96 DPI
    const wchar_t* text;
};

UniqueGdiObject MakeFont(const wchar_t* face, int height, bool underline, UINT dpi) {
    return UniqueGdiObject(::CreateFontW(-::MulDiv(height, static_cast<int>(dpi), kDesignDpi), 0, 0,
                                         0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                                         ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
}

// The help text from the program's resources, with the line breaks an edit control shows.
std::wstring HelpText(HINSTANCE instance) {
    const HRSRC info = ::FindResourceW(instance, L"HELPTEXT", MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = info != nullptr ? ::LoadResource(instance, info) : nullptr;
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    if (bytes == nullptr) {
        return {};
    }
    const std::wstring text = Widen(std::string_view(bytes, ::SizeofResource(instance, info)));
    std::wstring shown;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            shown += L'\r';
        }
        if (c != L'\r') {
            shown += c;
        }
    }
    return shown;
}

}  // namespace

HelpDialog::HelpDialog(HINSTANCE instance, platform::Desktop& desktop)
    : instance_(instance), desktop_(desktop) {}

HelpDialog::~HelpDialog() {
    Destroy();
}

bool HelpDialog::CreateModal(HWND owner) {
    ui::win32::WindowClass windowClass;
    windowClass.name = kHelpDialogClass;
    windowClass.instance = instance_;
    windowClass.background = ::GetSysColorBrush(COLOR_BTNFACE);
    ui::win32::WindowPlacement placement;
    placement.exStyle = kExStyle;
    placement.title = L"Help";
    placement.style = kStyle;
    placement.parent = owner;
    if (!Create(windowClass, placement)) {
        return false;
    }
    dpi_ = ui::win32::DpiForWindow(hwnd());
    RECT frame{0, 0, Scaled(help::kClientWidth, dpi_), Scaled(help::kClientHeight, dpi_)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();
    return true;
}

void HelpDialog::CreateControls() {
    font_ = MakeFont(L"MS Sans Serif", kFontHeight, false, dpi_);
    linkFont_ = MakeFont(L"MS Sans Serif", kLinkFontHeight, true, dpi_);
    const std::wstring host = Widen(kProductSiteHost);
    const HelpControl controls[] = {
        {help::kText,
         WC_EDITW,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
             ES_AUTOVSCROLL | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE,
         {10, 9, 352, 312},
         L""},
        {help::kLabel,
         WC_STATICW,
         WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
         0,
         {41, 336, 137, 16},
         L"For additional help visit"},
        {help::kLink,
         WC_STATICW,
         WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX,
         0,
         {182, 336, 147, 16},
         host.c_str()},
        {IDOK,
         WC_BUTTONW,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
         0,
         {137, 366, 92, 30},
         L"&OK"},
    };
    for (const HelpControl& control : controls) {
        HWND child = ::CreateWindowExW(
            control.exStyle, control.className, control.text, control.style,
            Scaled(control.place.left, dpi_), Scaled(control.place.top, dpi_),
            Scaled(control.place.right, dpi_), Scaled(control.place.bottom, dpi_), hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_, nullptr);
        ::SendMessageW(
            child, WM_SETFONT,
            reinterpret_cast<WPARAM>(control.id == help::kLink ? linkFont_.get() : font_.get()),
            FALSE);
    }
    ::SetDlgItemTextW(hwnd(), help::kText, HelpText(instance_).c_str());
    ::SetFocus(::GetDlgItem(hwnd(), IDOK));
}

void HelpDialog::lblQVHyperlinkClick() {
    desktop_.OpenAddress(reinterpret_cast<platform::WindowId>(hwnd()), kProductSite, SW_SHOWNORMAL);
}

LRESULT HelpDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == help::kLink && HIWORD(wParam) == STN_CLICKED) {
                lblQVHyperlinkClick();
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(hwnd(), help::kLink)) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, kLinkColour);
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == ::GetDlgItem(hwnd(), help::kLink)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return ModalWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace qv::settings::win32
