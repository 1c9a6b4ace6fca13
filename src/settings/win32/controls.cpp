#include "settings/win32/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

#include "base/win32/dpi.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "imaging/jpeg_decoder.h"
#include "settings/win32/check_list_accessible.h"
#include "settings/win32/options_layout.h"

namespace qv::settings::win32 {

namespace {

using winbase::Narrow;
using winbase::Scaled;
using winbase::Widen;

constexpr int kBoxSize = 13;  // at 96 DPI, in a 15-pixel row

ui::win32::WindowPlacement ChildPlacement(const ControlPlacement& placement) {
    ui::win32::WindowPlacement child;
    child.exStyle = placement.exStyle;
    child.style = placement.style;
    child.parent = placement.parent;
    child.menuOrId = ui::win32::ChildId(placement.id);
    return child;
}

// The Apps key, and Shift+F10, pressed or released: the keyboard's way to a row's menu.
bool IsMenuKey(UINT message, WPARAM key) {
    if (key == VK_APPS) {
        return message == WM_KEYDOWN || message == WM_KEYUP;
    }
    return key == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000) != 0 &&
           (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP);
}

// A list showing only its placeholder has nothing to check.
bool IsPlaceholder(const std::wstring& text) {
    const std::string row = Narrow(text);
    return row == text::NoSavers || row == text::NoTessels || row == text::NoPreshows;
}

}  // namespace

// A decoded JPEG as a bitmap the picture control can draw; empty when it does not decode.
winbase::UniqueGdiObject BitmapOfJpeg(const std::vector<std::uint8_t>& jpeg) {
    imaging::Frame frame;
    const auto status = imaging::DecodeJpeg(jpeg, frame);
    if (status != imaging::DecodeStatus::Ok && status != imaging::DecodeStatus::Truncated) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = frame.height;  // bottom-up, as the frame is
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    winbase::UniqueGdiObject bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits != nullptr) {
        std::memcpy(bits, frame.pixels.data(), frame.pixels.size());
    }
    return bitmap;
}

// ---- Picture ---------------------------------------------------------------------------

bool PictureControl::Create(const ControlPlacement& placement) {
    ui::win32::WindowClass windowClass;
    windowClass.name = kPictureClass;
    windowClass.instance = placement.instance;
    windowClass.background = ::GetSysColorBrush(COLOR_BTNFACE);
    return Window::Create(windowClass, ChildPlacement(placement));
}

void PictureControl::SetPicture(HBITMAP bitmap, bool transparent) {
    bitmap_ = bitmap;
    transparent_ = transparent;
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void PictureControl::Paint() {
    const winbase::PaintDc paint(hwnd());
    BITMAP info{};
    if (bitmap_ == nullptr || ::GetObjectW(bitmap_, sizeof(info), &info) == 0) {
        return;
    }
    const winbase::UniqueHdc source(::CreateCompatibleDC(paint.get()));
    const winbase::ScopedSelect use(source.get(), bitmap_);
    if (transparent_) {
        ::TransparentBlt(paint.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0,
                         info.bmWidth, info.bmHeight,
                         ::GetPixel(source.get(), 0, info.bmHeight - 1));
    } else {
        ::BitBlt(paint.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
}

LRESULT PictureControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto click = click_.OnMessage(hwnd(), message, lParam);
    if (click == ui::win32::ClickTracker::Event::Clicked) {
        ::SendMessageW(::GetParent(hwnd()), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(hwnd()), STN_CLICKED),
                       reinterpret_cast<LPARAM>(hwnd()));
    }
    if (click != ui::win32::ClickTracker::Event::NotMine) {
        return 0;
    }
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;  // the hint and the click need the mouse here
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

// ---- Panel -----------------------------------------------------------------------------

bool PanelControl::Create(const ControlPlacement& placement) {
    ui::win32::WindowClass windowClass;
    windowClass.name = kPanelClass;
    windowClass.instance = placement.instance;
    return Window::Create(windowClass, ChildPlacement(placement));
}

LRESULT PanelControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const winbase::PaintDc paint(hwnd());
            RECT client{};
            ::GetClientRect(hwnd(), &client);
            ::DrawEdge(paint.get(), &client, EDGE_ETCHED, BF_RECT);
            return 0;
        }
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

// ---- Check list ------------------------------------------------------------------------

// A class of its own built on the list box's (a superclass), not a subclass of each list:
// the common controls' subclassing looks its chain up on every message, which made adding
// hundreds of rows take a quarter of a second under Wine.
bool CheckListControl::Create(const ControlPlacement& placement) {
    ui::win32::WindowClass windowClass;
    windowClass.name = kCheckListClass;
    windowClass.instance = placement.instance;
    windowClass.superclassOf = WC_LISTBOXW;
    return Window::Create(windowClass, ChildPlacement(placement));
}

int CheckListControl::Count() const {
    return ListBox_GetCount(hwnd());
}

bool CheckListControl::IsChecked(int row) const {
    return ::SendMessageW(hwnd(), LB_GETITEMDATA, static_cast<WPARAM>(row), 0) == 1;
}

std::wstring CheckListControl::RowText(int row) const {
    const LRESULT length = ::SendMessageW(hwnd(), LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(hwnd(), LB_GETTEXT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool CheckListControl::IsCheckable(int row) const {
    return row >= 0 && row < Count() && !IsPlaceholder(RowText(row));
}

void CheckListControl::Toggle(int row) {
    if (!IsCheckable(row)) {
        return;
    }
    ::SendMessageW(hwnd(), LB_SETITEMDATA, static_cast<WPARAM>(row), IsChecked(row) ? 0 : 1);
    RECT item{};
    ::SendMessageW(hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    ::InvalidateRect(hwnd(), &item, FALSE);
    NotifyCheckChanged(hwnd(), row);
    ::SendMessageW(::GetParent(hwnd()), kWmCheckToggled,
                   static_cast<WPARAM>(::GetDlgCtrlID(hwnd())), row);
}

LRESULT CheckListControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT) {
        if (const LRESULT answer = AnswerGetObject(*this, wParam, lParam); answer != 0) {
            return answer;
        }
        return DefaultHandling(message, wParam, lParam);
    }
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        ::SendMessageW(::GetParent(hwnd()), kWmListPress,
                       MAKEWPARAM(::GetDlgCtrlID(hwnd()), message == WM_RBUTTONDOWN ? 1 : 0),
                       lParam);
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        const LRESULT hit = ::SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0, lParam);
        const int x = GET_X_LPARAM(lParam);
        const LRESULT result = DefaultHandling(message, wParam, lParam);
        if (HIWORD(hit) == 0 && x < Scaled(kItemHeight, winbase::DpiForWindow(hwnd()))) {
            Toggle(LOWORD(hit));
        }
        return result;
    }
    if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        Toggle(ListBox_GetCurSel(hwnd()));
        return 0;
    }
    if (IsMenuKey(message, wParam)) {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            ::SendMessageW(::GetParent(hwnd()), kWmListMenuKey,
                           static_cast<WPARAM>(::GetDlgCtrlID(hwnd())), 0);
        }
        return 0;  // the key's release makes no second menu
    }
    if (const auto glance = OnGlanceMessage(message, wParam, lParam)) {
        return *glance;
    }
    return DefaultHandling(message, wParam, lParam);
}

void CheckListControl::TellGlance(int row) {
    ::SendMessageW(::GetParent(hwnd()), kWmListGlance, static_cast<WPARAM>(::GetDlgCtrlID(hwnd())),
                   row);
}

// The mouse resting on a row (the system's hover time), leaving, and the focus moving to a
// row are told to the parent, for the row's tip.
std::optional<LRESULT> CheckListControl::OnGlanceMessage(UINT message, WPARAM wParam,
                                                         LPARAM lParam) {
    const auto focused = [&] { return ::GetFocus() == hwnd() ? ListBox_GetCurSel(hwnd()) : -1; };
    switch (message) {
        case WM_MOUSEMOVE: {
            const int row = RowAt(lParam).value_or(-1);
            if (!tracking_ || row != lastRow_) {
                if (hovered_ >= 0) {
                    TellGlance(focused());
                }
                hovered_ = -1;
                TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, hwnd(), HOVER_DEFAULT};
                tracking_ = ::TrackMouseEvent(&track) != FALSE;
                lastRow_ = row;
            }
            return std::nullopt;
        }
        case WM_MOUSEHOVER:
            hovered_ = RowAt(lParam).value_or(-1);
            TellGlance(hovered_);
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (hovered_ >= 0) {
                hovered_ = -1;
                TellGlance(focused());
            }
            return 0;
        case WM_SETFOCUS: {
            const LRESULT result = DefaultHandling(message, wParam, lParam);
            TellGlance(ListBox_GetCurSel(hwnd()));
            return result;
        }
        case WM_KILLFOCUS:
            TellGlance(hovered_);
            return DefaultHandling(message, wParam, lParam);
        case WM_KEYDOWN: {
            const int before = ListBox_GetCurSel(hwnd());
            const LRESULT result = DefaultHandling(message, wParam, lParam);
            if (const int after = ListBox_GetCurSel(hwnd()); after != before) {
                TellGlance(after);
            }
            return result;
        }
        default:
            return std::nullopt;
    }
}

void CheckListControl::Fill(const CheckList& rows) {
    // Not redrawn nor its scroll bar reckoned again for every row added.
    ::SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
    ::SendMessageW(hwnd(), LB_INITSTORAGE, rows.rows.size(), 0);
    for (const CheckRow& row : rows.rows) {
        const std::wstring text = Widen(row.text);
        const LRESULT at =
            ::SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(hwnd(), LB_SETITEMDATA, static_cast<WPARAM>(at), row.checked ? 1 : 0);
    }
    ::SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

CheckList CheckListControl::Read() const {
    CheckList rows;
    const int count = Count();
    for (int row = 0; row < count; ++row) {
        rows.rows.push_back({Narrow(RowText(row)), IsChecked(row)});
    }
    return rows;
}

void CheckListControl::SetChecks(const CheckList& rows) {
    const int count = Count();
    for (int row = 0; row < count && row < static_cast<int>(rows.rows.size()); ++row) {
        const bool checked = rows.rows[static_cast<std::size_t>(row)].checked;
        if (checked != IsChecked(row)) {
            ::SendMessageW(hwnd(), LB_SETITEMDATA, static_cast<WPARAM>(row), checked ? 1 : 0);
            NotifyCheckChanged(hwnd(), row);
        }
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

std::optional<int> CheckListControl::RowAt(LPARAM point) const {
    const LRESULT hit = ::SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0, point);
    if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) >= Count()) {
        return std::nullopt;  // outside the rows
    }
    return static_cast<int>(LOWORD(hit));
}

void CheckListControl::Measure(MEASUREITEMSTRUCT& item, UINT dpi) {
    item.itemHeight = static_cast<UINT>(Scaled(kItemHeight, dpi));
}

void CheckListControl::Draw(const DRAWITEMSTRUCT& item, UINT dpi) const {
    if (item.itemID == static_cast<UINT>(-1)) {
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT row = item.rcItem;
    ::FillRect(item.hDC, &row, ::GetSysColorBrush(COLOR_WINDOW));
    const int box = Scaled(kBoxSize, dpi);
    const int boxLeft = row.left + Scaled(1, dpi);
    const int boxTop = row.top + (row.bottom - row.top - box) / 2;
    RECT check{boxLeft, boxTop, boxLeft + box, boxTop + box};
    const bool checked = item.itemData == 1;
    ::DrawFrameControl(item.hDC, &check, DFC_BUTTON,
                       DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    RECT label = row;
    label.left += Scaled(kItemHeight + 1, dpi);
    ::FillRect(item.hDC, &label, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const std::wstring text = RowText(static_cast<int>(item.itemID));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    label.left += Scaled(2, dpi);
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &label,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) {
        ::DrawFocusRect(item.hDC, &label);
    }
}

}  // namespace qv::settings::win32
