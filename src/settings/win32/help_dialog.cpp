#include "settings/win32/help_dialog.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "desktop/web_address.h"
#include "settings/options.h"
#include "settings/win32/control_table.h"
#include "ui/win32/font.h"
#include "base/win32/dpi.h"
#include "base/win32/wide.h"

namespace qv::settings::win32 {

namespace {

using winbase::Scaled;
using winbase::UniqueGdiObject;
using winbase::Widen;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// The dialog was laid out at 120 pixels per inch: its fonts are given at that density.
constexpr int kDesignDpi = 120;
constexpr int kFontHeight = 14;
constexpr int kLinkFontHeight = 15;

// At 96 DPI, in the dialog's tab order.
constexpr std::array<ControlLayout, 4> kHelpControls{{
    {help::kText, "memHelp", ControlKind::TextBox, 0, {10, 9, 352, 312}, "", 0},
    {help::kLabel,
     "lblVisit",
     ControlKind::Label,
     0,
     {41, 336, 137, 16},
     "For additional help visit",
     0},
    {help::kLink,
     "lblQVHyperlink",
     ControlKind::Label,
     0,
     {182, 336, 147, 16},
     kProductSiteHost,
     look::kLink},
    {IDOK, "btnOK", ControlKind::Button, 0, {137, 366, 92, 30}, "&OK", look::kDefault},
}};

UniqueGdiObject MakeFont(int height, bool underline, UINT dpi) {
    ui::win32::FontSpec wanted;
    wanted.face = L"MS Sans Serif";
    wanted.pixels = height;
    wanted.designDpi = kDesignDpi;
    wanted.underline = underline;
    return ui::win32::MakeFont(wanted, dpi);
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
    dpi_ = winbase::DpiForWindow(hwnd());
    RECT frame{0, 0, Scaled(help::kClientWidth, dpi_), Scaled(help::kClientHeight, dpi_)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return CreateControls();
}

bool HelpDialog::CreateControls() {
    for (const ControlLayout& control : kHelpControls) {
        const ControlStyle style = StyleOf(control);
        const std::wstring text = Widen(control.text);
        if (::CreateWindowExW(style.exStyle, style.className, text.c_str(), style.style, 0, 0, 0, 0,
                              hwnd(), ui::win32::ChildId(control.id), instance_,
                              nullptr) == nullptr) {
            return false;
        }
    }
    ::SetDlgItemTextW(hwnd(), help::kText, HelpText(instance_).c_str());
    LayOut();
    return true;
}

void HelpDialog::LayOut() {
    font_ = MakeFont(kFontHeight, false, dpi_);
    linkFont_ = MakeFont(kLinkFontHeight, true, dpi_);
    for (const ControlLayout& control : kHelpControls) {
        HWND child = ::GetDlgItem(hwnd(), control.id);
        ::MoveWindow(child, Scaled(control.place.left, dpi_), Scaled(control.place.top, dpi_),
                     Scaled(control.place.width, dpi_), Scaled(control.place.height, dpi_), TRUE);
        const HGDIOBJ font = (control.look & look::kLink) != 0 ? linkFont_.get() : font_.get();
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void HelpDialog::OnDpiChanged(UINT dpi) {
    dpi_ = dpi;
    LayOut();
}

void HelpDialog::lblQVHyperlinkClick() {
    (void)desktop::OpenWebAddress(desktop_, reinterpret_cast<platform::WindowId>(hwnd()),
                                  kProductSite, platform::ShowCommand::Normal);
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
                // The system's colour of links, which a high-contrast scheme sets too.
                ::SetTextColor(dc, ::GetSysColor(COLOR_HOTLIGHT));
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
