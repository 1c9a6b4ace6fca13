#include "settings/win32/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "settings/win32/options_layout.h"
#include "ui/win32/dpi.h"

namespace qv::settings::win32 {

namespace {

using platform::win32::Narrow;
using platform::win32::ScopedSelect;
using platform::win32::UniqueHdc;
using platform::win32::Widen;

constexpr int kBoxSize = 13;  // at 96 DPI, in a 15-pixel row

struct PictureState {
    HBITMAP bitmap = nullptr;
    bool transparent = false;
};

void PaintPicture(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd, &paint);
    const auto* state = reinterpret_cast<const PictureState*>(::GetWindowLongPtrW(hwnd, 0));
    BITMAP info{};
    if (state != nullptr && state->bitmap != nullptr &&
        ::GetObjectW(state->bitmap, sizeof(info), &info) != 0) {
        UniqueHdc source(::CreateCompatibleDC(dc));
        const ScopedSelect use(source.get(), state->bitmap);
        if (state->transparent) {
            ::TransparentBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0,
                             info.bmWidth, info.bmHeight,
                             ::GetPixel(source.get(), 0, info.bmHeight - 1));
        } else {
            ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
        }
    }
    ::EndPaint(hwnd, &paint);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_NCCREATE:
            ::SetWindowLongPtrW(hwnd, 0,
                                reinterpret_cast<LONG_PTR>(new (std::nothrow) PictureState));
            break;
        case WM_NCDESTROY:
            delete reinterpret_cast<PictureState*>(::GetWindowLongPtrW(hwnd, 0));
            ::SetWindowLongPtrW(hwnd, 0, 0);
            break;
        case WM_PAINT:
            PaintPicture(hwnd);
            return 0;
        case WM_LBUTTONUP:  // a click, told as a static control tells it
            ::SendMessageW(::GetParent(hwnd), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(hwnd), STN_CLICKED),
                           reinterpret_cast<LPARAM>(hwnd));
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;  // the hint and the click need the mouse here
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// Inner bevel raised, outer bevel lowered: an etched frame. The inside is left to the
// window beneath, so the controls that lie on the panel are never painted over.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(hwnd, &paint);
            RECT client{};
            ::GetClientRect(hwnd, &client);
            ::DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, int extraBytes,
              HBRUSH background) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(instance, name, &wc)) {
        return;
    }
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

bool IsChecked(HWND list, int row) {
    return ::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0) == 1;
}

std::wstring RowText(HWND list, int row) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// A list showing only its placeholder has nothing to check.
bool IsPlaceholder(const std::wstring& text) {
    const std::string row = Narrow(text);
    return row == text::NoSavers || row == text::NoTessels || row == text::NoPreshows;
}

void Toggle(HWND list, int row) {
    if (row < 0 || row >= ListBox_GetCount(list) || IsPlaceholder(RowText(list, row))) {
        return;
    }
    ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(row), IsChecked(list, row) ? 0 : 1);
    RECT item{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ::InvalidateRect(list, &item, FALSE);
    ::SendMessageW(::GetParent(list), kWmCheckToggled, static_cast<WPARAM>(::GetDlgCtrlID(list)),
                   row);
}

// The list box's own procedure, which the check list class passes everything on to. Set
// once, when the class is registered, before any check list exists.
WNDPROC listBoxProc = nullptr;

LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        ::SendMessageW(::GetParent(list), kWmListPress,
                       MAKEWPARAM(::GetDlgCtrlID(list), message == WM_RBUTTONDOWN ? 1 : 0), lParam);
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        const LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam);
        const int x = GET_X_LPARAM(lParam);
        const LRESULT result = ::CallWindowProcW(listBoxProc, list, message, wParam, lParam);
        if (HIWORD(hit) == 0 && x < ui::win32::Scaled(kItemHeight, ui::win32::DpiForWindow(list))) {
            Toggle(list, LOWORD(hit));
        }
        return result;
    }
    if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        Toggle(list, ListBox_GetCurSel(list));
        return 0;
    }
    return ::CallWindowProcW(listBoxProc, list, message, wParam, lParam);
}

// A class of its own built on the list box's (a superclass), not a subclass of each list:
// the common controls' subclassing looks its chain up on every message, which made adding
// hundreds of rows take a quarter of a second under Wine.
void RegisterCheckList(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(instance, kCheckListClass, &wc) ||
        !::GetClassInfoExW(nullptr, WC_LISTBOXW, &wc)) {
        return;
    }
    listBoxProc = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    wc.lpfnWndProc = CheckListProc;
    wc.hInstance = instance;
    wc.lpszClassName = kCheckListClass;
    ::RegisterClassExW(&wc);
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
    Register(instance, kPictureClass, PictureProc, sizeof(LONG_PTR),
             ::GetSysColorBrush(COLOR_BTNFACE));
    Register(instance, kPanelClass, PanelProc, 0, nullptr);
    RegisterCheckList(instance);
}

void SetPicture(HWND control, HBITMAP bitmap, bool transparent) {
    auto* state = reinterpret_cast<PictureState*>(::GetWindowLongPtrW(control, 0));
    if (state == nullptr) {
        return;
    }
    state->bitmap = bitmap;
    state->transparent = transparent;
    ::InvalidateRect(control, nullptr, TRUE);
}

void FillCheckList(HWND list, const CheckList& rows) {
    // Not redrawn nor its scroll bar reckoned again for every row added.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, rows.rows.size(), 0);
    for (const CheckRow& row : rows.rows) {
        const std::wstring text = Widen(row.text);
        const LRESULT at =
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), row.checked ? 1 : 0);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

CheckList ReadCheckList(HWND list) {
    CheckList rows;
    const int count = ListBox_GetCount(list);
    for (int row = 0; row < count; ++row) {
        rows.rows.push_back({Narrow(RowText(list, row)), IsChecked(list, row)});
    }
    return rows;
}

void SetChecks(HWND list, const CheckList& rows) {
    const int count = ListBox_GetCount(list);
    for (int row = 0; row < count && row < static_cast<int>(rows.rows.size()); ++row) {
        ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(row),
                       rows.rows[static_cast<std::size_t>(row)].checked ? 1 : 0);
    }
    ::InvalidateRect(list, nullptr, FALSE);
}

std::optional<int> RowAt(HWND list, LPARAM point) {
    const LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, point);
    if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) >= ListBox_GetCount(list)) {
        return std::nullopt;  // outside the rows
    }
    return static_cast<int>(LOWORD(hit));
}

void MeasureCheckRow(MEASUREITEMSTRUCT& item, UINT dpi) {
    item.itemHeight = static_cast<UINT>(ui::win32::Scaled(kItemHeight, dpi));
}

void DrawCheckRow(const DRAWITEMSTRUCT& item, UINT dpi) {
    if (item.itemID == static_cast<UINT>(-1)) {
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT row = item.rcItem;
    ::FillRect(item.hDC, &row, ::GetSysColorBrush(COLOR_WINDOW));
    const int box = ui::win32::Scaled(kBoxSize, dpi);
    const int boxLeft = row.left + ui::win32::Scaled(1, dpi);
    const int boxTop = row.top + (row.bottom - row.top - box) / 2;
    RECT check{boxLeft, boxTop, boxLeft + box, boxTop + box};
    const bool checked = item.itemData == 1;
    ::DrawFrameControl(item.hDC, &check, DFC_BUTTON,
                       DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    RECT label = row;
    label.left += ui::win32::Scaled(kItemHeight + 1, dpi);
    ::FillRect(item.hDC, &label, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const std::wstring text = RowText(item.hwndItem, static_cast<int>(item.itemID));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    label.left += ui::win32::Scaled(2, dpi);
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &label,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) {
        ::DrawFocusRect(item.hDC, &label);
    }
}

}  // namespace qv::settings::win32
