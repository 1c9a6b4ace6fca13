#include "settings/win32/list_menus.h"

#include <windowsx.h>

#include <string>

#include "base/win32/dpi.h"
#include "base/win32/wide.h"
#include "settings/win32/options_layout.h"

namespace qv::settings::win32 {

namespace {

// Empty when the menu or one of its items could not be made.
winbase::UniqueHmenu BuildMenu(const auto& items) {
    winbase::UniqueHmenu menu(::CreatePopupMenu());
    for (const MenuItemLayout& item : items) {
        const std::wstring text = winbase::Widen(item.text);
        if (!menu ||
            !::AppendMenuW(menu.get(), item.id == 0 ? MF_SEPARATOR : MF_STRING,
                           static_cast<UINT_PTR>(item.id), item.id == 0 ? nullptr : text.c_str())) {
            return {};
        }
    }
    return menu;
}

}  // namespace

bool ListMenus::Create() {
    saverMenu_ = BuildMenu(kSaverMenu);
    tesselMenu_ = BuildMenu(kTesselMenu);
    newTesselMenu_ = BuildMenu(kNewTesselMenu);
    preshowMenu_ = BuildMenu(kPreshowMenu);
    return saverMenu_ && tesselMenu_ && newTesselMenu_ && preshowMenu_;
}

HMENU ListMenus::MenuOf(TitleKind kind) const {
    switch (kind) {
        case TitleKind::Saver:
            return saverMenu_.get();
        case TitleKind::Tessel:
            return tesselMenu_.get();
        case TitleKind::Preshow:
            return preshowMenu_.get();
    }
    return nullptr;
}

void ListMenus::OnPress(HWND window, CheckListControl& list, TitleKind kind, bool rightButton,
                        LPARAM point, UINT dpi) {
    const std::optional<int> rowUnder = list.RowAt(point);
    if (kind == TitleKind::Preshow) {
        preshowIndex_ = rowUnder;
    }
    const CheckList rows = list.Read();
    const int x = ::MulDiv(GET_X_LPARAM(point), 96, static_cast<int>(dpi));
    const std::optional<int> row = MenuRowFor(rows, kind, rightButton, x, rowUnder);
    if (row) {
        Open(window, list, kind, rows, *row, {GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    } else if (kind == TitleKind::Tessel && rightButton) {
        OpenNewTessel(window, list, {GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    }
}

// Where the Tessel list has no Tessel row (it is empty, or the press is below its rows), its
// menu offers only a new one.
void ListMenus::OpenNewTessel(HWND window, CheckListControl& list, POINT inList) {
    ::ClientToScreen(list.hwnd(), &inList);
    ::TrackPopupMenu(newTesselMenu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, inList.x, inList.y, 0,
                     window, nullptr);
}

void ListMenus::OnMenuKey(HWND window, CheckListControl& list, TitleKind kind, UINT dpi) {
    const LRESULT current = ::SendMessageW(list.hwnd(), LB_GETCURSEL, 0, 0);
    if (kind == TitleKind::Tessel &&
        (current == LB_ERR || list.Read().ShowsOnly(text::NoTessels))) {
        OpenNewTessel(window, list, {winbase::Scaled(kCheckColumnPixels + 1, dpi), kItemHeight});
        return;
    }
    if (current == LB_ERR) {
        return;
    }
    const int row = static_cast<int>(current);
    if (kind == TitleKind::Preshow) {
        preshowIndex_ = row;
    }
    const CheckList rows = list.Read();
    // As a right press on the row's text would.
    const int x = kCheckColumnPixels + 1;
    if (!MenuRowFor(rows, kind, true, x, row)) {
        return;
    }
    RECT item{};
    ::SendMessageW(list.hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    Open(window, list, kind, rows, row, {item.left + winbase::Scaled(x, dpi), item.bottom});
}

void ListMenus::Open(HWND window, CheckListControl& list, TitleKind kind, const CheckList& rows,
                     int row, POINT inList) {
    ::SendMessageW(list.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    target_ =
        kind == TitleKind::Saver ? SaverTarget(files_, savers_, row) : TitleTarget(kind, rows, row);
    ::ClientToScreen(list.hwnd(), &inList);
    ::TrackPopupMenu(MenuOf(kind), TPM_LEFTALIGN | TPM_RIGHTBUTTON, inList.x, inList.y, 0, window,
                     nullptr);
}

}  // namespace qv::settings::win32
