#include "settings/win32/help_dialog.h"

#include <array>
#include <string>

#include "base/win32/wide.h"
#include "desktop/web_address.h"
#include "settings/options.h"

namespace qv::settings::win32 {

namespace {

using ui::win32::ControlKind;
using ui::win32::ControlLayout;

// At 96 DPI, in the dialog's tab order.
constexpr std::array<ControlLayout, 4> kHelpControls{{
    {help::kText, "memHelp", ControlKind::TextBox, 0, {10, 9, 352, 312}, "", 0, "Help"},
    {help::kLabel,
     "lblVisit",
     ControlKind::Label,
     0,
     {41, 336, 137, 16},
     "For additional help visit",
     0},
    {help::kLink,
     "lblQVHyperlink",
     ControlKind::LinkLabel,
     0,
     {182, 336, 147, 16},
     kProductSiteHost,
     0},
    {IDOK, "btnOK", ControlKind::Button, 0, {137, 366, 92, 30}, "&OK", ui::win32::look::kDefault},
}};

// The dialog was laid out at 120 pixels per inch: its fonts are given at that density.
constexpr ui::win32::DialogTable kHelpTable{
    {kHelpDialogClass, "Help", WS_POPUP | WS_CAPTION | WS_SYSMENU,
     WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, help::kClientWidth, help::kClientHeight},
    {L"MS Sans Serif", 120, 14, 14, 15},
    kHelpControls};

// The help text from the program's resources, with the line breaks an edit control shows.
std::wstring HelpText(HINSTANCE instance) {
    const HRSRC info = ::FindResourceW(instance, L"HELPTEXT", MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = info != nullptr ? ::LoadResource(instance, info) : nullptr;
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    if (bytes == nullptr) {
        return {};
    }
    const std::wstring text =
        winbase::Widen(std::string_view(bytes, ::SizeofResource(instance, info)));
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

const ui::win32::DialogTable& HelpDialog::Layout() {
    return kHelpTable;
}

HelpDialog::HelpDialog(HINSTANCE instance, platform::Desktop& desktop)
    : DialogWindow(instance, kHelpTable), desktop_(desktop) {}

HelpDialog::~HelpDialog() {
    Destroy();
}

bool HelpDialog::OnControlsCreated() {
    ::SetDlgItemTextW(hwnd(), help::kText, HelpText(Instance()).c_str());
    return true;
}

void HelpDialog::OnCommand(int id, int code) {
    if (id == help::kLink && code == STN_CLICKED) {
        lblQVHyperlinkClick();
    }
}

void HelpDialog::lblQVHyperlinkClick() {
    (void)desktop::OpenWebAddress(desktop_, reinterpret_cast<platform::WindowId>(hwnd()),
                                  kProductSite, platform::ShowCommand::Normal);
}

}  // namespace qv::settings::win32
