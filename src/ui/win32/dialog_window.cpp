#include "ui/win32/dialog_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/win32/dpi.h"
#include "base/win32/wide.h"
#include "ui/win32/accessibility.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/font.h"

namespace qv::ui::win32 {

namespace {

using winbase::Scaled;
using winbase::Widen;

struct ControlStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

ControlStyle StyleOf(const ControlLayout& control) {
    switch (control.kind) {
        case ControlKind::Label: {
            DWORD align = SS_LEFTNOWORDWRAP;
            if ((control.look & look::kCentred) != 0) {
                align = SS_CENTER;
            } else if ((control.look & look::kWordWrap) != 0) {
                align = SS_LEFT;
            }
            return {WC_STATICW, kChild | SS_NOPREFIX | align, 0};
        }
        case ControlKind::LinkLabel:
            return {WC_STATICW, kChild | SS_NOPREFIX | SS_LEFTNOWORDWRAP | SS_NOTIFY, 0};
        case ControlKind::GroupBox:
            return {WC_BUTTONW, kChild | BS_GROUPBOX, 0};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::Button:
            return {WC_BUTTONW,
                    kChild | WS_TABSTOP |
                        ((control.look & look::kDefault) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                    0};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::SpinEdit:
            return {WC_EDITW, kChild | WS_TABSTOP | ES_NUMBER | ES_LEFT, WS_EX_CLIENTEDGE};
        case ControlKind::TextBox:
            return {WC_EDITW,
                    kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {WC_LISTBOXW,
                    kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, kChild, 0};
        case ControlKind::PathEdit:
        case ControlKind::Edit:
            return {WC_EDITW, kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
        case ControlKind::Window:
            break;
    }
    return {control.windowClass, kChild, 0};
}

HWND CreateChild(HINSTANCE instance, HWND parent, const ControlStyle& style, std::string_view text,
                 int id) {
    const std::wstring wide = Widen(text);
    return ::CreateWindowExW(style.exStyle, style.className, wide.c_str(), style.style, 0, 0, 0, 0,
                             parent, ChildId(id), instance, nullptr);
}

// The height of a control's text in `font`, wrapped to `width` as a static control wraps it.
int TextHeight(HWND control, HGDIOBJ font, int width) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    const winbase::WindowDc dc(control);
    const winbase::ScopedSelect useFont(dc.get(), font);
    RECT box{0, 0, width, 0};
    ::DrawTextW(dc.get(), text.c_str(), length, &box,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    return box.bottom - box.top;
}

void SetFont(HWND control, HGDIOBJ font) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

bool DialogWindow::CreateModal(HWND owner) {
    const DialogFrame& frame = table_.frame;
    if (frame.commonControls != 0) {
        // Without the common controls a dialog loses its arrows and hints, and still works.
        (void)UseCommonControls(frame.commonControls);
    }
    const std::wstring caption = Widen(frame.caption);
    WindowClass windowClass;
    windowClass.name = frame.className;
    windowClass.instance = instance_;
    windowClass.icon = frame.icon != nullptr ? ::LoadIconW(instance_, frame.icon) : nullptr;
    windowClass.background = ::GetSysColorBrush(COLOR_BTNFACE);
    WindowPlacement placement;
    placement.exStyle = frame.exStyle;
    placement.title = caption.c_str();
    placement.style = frame.style;
    placement.parent = owner;
    if (!Create(windowClass, placement)) {
        return false;
    }
    dpi_ = winbase::DpiForWindow(hwnd());
    RECT outer{0, 0, Scaled(frame.clientWidth, dpi_), Scaled(frame.clientHeight, dpi_)};
    ::AdjustWindowRectEx(&outer, frame.style, FALSE, frame.exStyle);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ControlLayout& row : table_.controls) {
        if (!CreateControl(row)) {
            return false;
        }
    }
    MakeFonts();
    LayOut();
    return OnControlsCreated();
}

bool DialogWindow::CreateOwnControl(const ControlLayout&) {
    return false;
}

bool DialogWindow::CreateControl(const ControlLayout& row) {
    if (row.kind == ControlKind::Window) {
        return CreateOwnControl(row);
    }
    HWND created = CreateChild(instance_, hwnd(), StyleOf(row), row.text, row.id);
    if (created == nullptr) {
        return false;
    }
    if (!row.accessibleName.empty()) {
        // A field or a list says what it is for, not what it holds.
        GiveAccessibleName(created, Widen(row.accessibleName));
    }
    switch (row.kind) {
        case ControlKind::GroupBox:
            DrawWithoutVisualStyle(created);  // its caption in the system's colours
            break;
        case ControlKind::SpinEdit:
            // Without the common controls the field takes typed numbers alone.
            (void)CreateChild(
                instance_, hwnd(),
                {UPDOWN_CLASSW,
                 kChild | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0},
                {}, row.partner);
            break;
        case ControlKind::PathEdit:
            return CreateChild(instance_, hwnd(),
                               {WC_BUTTONW, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0}, kBrowseText,
                               row.partner) != nullptr;
        default:
            break;
    }
    return true;
}

void DialogWindow::MakeFonts() {
    const DialogFonts& fonts = table_.fonts;
    FontSpec wanted;
    wanted.face = fonts.face;
    wanted.designDpi = fonts.designDpi;
    wanted.pixels = fonts.pixels;
    font_ = MakeFont(wanted, dpi_);
    wanted.bold = true;
    boldFont_ = MakeFont(wanted, dpi_);
    wanted.bold = false;
    wanted.pixels = fonts.smallPixels;
    smallFont_ = MakeFont(wanted, dpi_);
    wanted.pixels = fonts.linkPixels;
    wanted.underline = true;
    linkFont_ = MakeFont(wanted, dpi_);
}

HGDIOBJ DialogWindow::FontOf(const ControlLayout& row) const {
    if (row.kind == ControlKind::LinkLabel) {
        return linkFont_.get();
    }
    if ((row.look & look::kBold) != 0) {
        return boldFont_.get();
    }
    return (row.look & look::kSmall) != 0 ? smallFont_.get() : font_.get();
}

const ControlLayout* DialogWindow::RowOf(int id) const {
    const auto found = std::find_if(table_.controls.begin(), table_.controls.end(),
                                    [id](const ControlLayout& row) { return row.id == id; });
    return found == table_.controls.end() ? nullptr : &*found;
}

void DialogWindow::LayOut() {
    for (const ControlLayout& row : table_.controls) {
        Place(row);
    }
    OnLaidOut();
}

void DialogWindow::Place(const ControlLayout& row) {
    const ui::win32::Place place = WindowPlace(table_.controls, row);
    HWND child = Control(row.id);
    const HGDIOBJ font = FontOf(row);
    const int left = Scaled(place.left, dpi_);
    int top = Scaled(place.top, dpi_);
    int width = Scaled(place.width, dpi_);
    int height = Scaled(place.height, dpi_);
    if (row.kind == ControlKind::ComboBox) {
        height += Scaled(table_.dropDownHeight, dpi_);  // the list that drops down
    }
    if ((row.look & look::kMiddle) != 0) {
        // A static control draws its lines from its top: it takes the text's height, in the
        // middle of its place.
        const int text = TextHeight(child, font, width);
        top += MiddleTop(height, text);
        height = std::min(height, text);
    }
    if (row.kind == ControlKind::PathEdit) {
        const int button = Scaled(kBrowseWidth, dpi_);
        width -= button + Scaled(kBrowseGap, dpi_);
        HWND browse = Control(row.partner);
        ::MoveWindow(browse, left + width + Scaled(kBrowseGap, dpi_), top, button, height, TRUE);
        SetFont(browse, font);
    }
    ::MoveWindow(child, left, top, width, height, TRUE);
    SetFont(child, font);
    if (row.kind == ControlKind::SpinEdit) {
        // The arrows take their place inside the field's rectangle, at its right.
        ::SendMessageW(Control(row.partner), UDM_SETBUDDY, reinterpret_cast<WPARAM>(child), 0);
    }
}

void DialogWindow::OnDpiChanged(UINT dpi) {
    dpi_ = dpi;
    MakeFonts();
    LayOut();
}

bool DialogWindow::IsLink(HWND control) const {
    const ControlLayout* row = RowOf(::GetDlgCtrlID(control));
    return row != nullptr && row->kind == ControlKind::LinkLabel && ::GetParent(control) == hwnd();
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                break;  // OnOk and OnCancel
            }
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (IsLink(reinterpret_cast<HWND>(lParam))) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                // The system's colour of links, which a high-contrast scheme sets too.
                ::SetTextColor(dc, ::GetSysColor(COLOR_HOTLIGHT));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (IsLink(reinterpret_cast<HWND>(wParam))) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return ModalWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace qv::ui::win32
