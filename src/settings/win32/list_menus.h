// The context menus of the settings window's three lists: which row a mouse press or the
// menu key opens a menu for, the menu at that row, and the title it was opened for, which
// the menu's commands then act on.
#pragma once

#include <windows.h>

#include <optional>

#include "base/win32/unique_handle.h"
#include "platform/ports.h"
#include "settings/title_actions.h"
#include "settings/win32/controls.h"

namespace qv::settings::win32 {

class ListMenus {
  public:
    // `savers` is the window's saver list with its files, which a delete may replace.
    ListMenus(platform::Files& files, const SaverList& savers) : files_(files), savers_(savers) {}

    // False when a menu or one of its items could not be made.
    [[nodiscard]] bool Create();

    // A press on `list` (of `kind`) at `point` in it: the Preshow row under it, and a right
    // press's menu. `dpi` is the window's, the check-box column is measured at 96.
    void OnPress(HWND window, CheckListControl& list, TitleKind kind, bool rightButton,
                 LPARAM point, UINT dpi);
    // The Apps key or Shift+F10 on a list: the current row's menu, at that row.
    void OnMenuKey(HWND window, CheckListControl& list, TitleKind kind, UINT dpi);

    // The title the last menu was opened for.
    [[nodiscard]] const Target& target() const { return target_; }
    // FPreshowIndex: the Preshow row last pressed or opened.
    [[nodiscard]] std::optional<int> preshowIndex() const { return preshowIndex_; }

  private:
    void Open(HWND window, CheckListControl& list, TitleKind kind, const CheckList& rows, int row,
              POINT inList);
    void OpenNewTessel(HWND window, CheckListControl& list, POINT inList);
    [[nodiscard]] HMENU MenuOf(TitleKind kind) const;

    platform::Files& files_;
    const SaverList& savers_;
    winbase::UniqueHmenu saverMenu_;
    winbase::UniqueHmenu tesselMenu_;
    winbase::UniqueHmenu newTesselMenu_;
    winbase::UniqueHmenu preshowMenu_;
    Target target_;
    std::optional<int> preshowIndex_;
};

}  // namespace qv::settings::win32
