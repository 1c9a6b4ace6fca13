#include "ui/win32/common_controls.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "base/win32/system_library.h"

namespace qv::ui::win32 {

bool UseCommonControls(DWORD classes) {
    // Version 6, which the manifest asks for, is not imported: the show needs it only for
    // the hint over a link, if ever.
    static const winbase::SystemLibrary library(L"comctl32.dll");
    const auto init = library.Find<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx");
    const INITCOMMONCONTROLSEX wanted{sizeof(wanted), classes};
    return init != nullptr && init(&wanted) != FALSE;
}

void DrawWithoutVisualStyle(HWND control) {
    static const winbase::SystemLibrary library(L"uxtheme.dll");
    if (const auto setTheme = library.Find<decltype(&::SetWindowTheme)>("SetWindowTheme")) {
        // A name no style has: an empty one is refused by some systems.
        (void)setTheme(control, L" ", L" ");
    }
}

}  // namespace qv::ui::win32
