#include "desktop/window_search.h"

#include "common/shared_names.h"

namespace qv::desktop {

platform::WindowId FindWindowTitled(const platform::Platform& platform, bool isNT,
                                    std::string_view title) {
    const auto desktop = isNT ? std::optional<std::string_view>(kDefaultDesktop) : std::nullopt;
    const auto windows = platform.desktop.TopLevelWindows(desktop, shared::kWindowTitleChars);
    if (!windows) {
        return 0;  // the desktop could not be opened: nothing is searched
    }
    for (const auto& window : *windows) {
        if (window.title == title) {
            return window.id;
        }
    }
    return 0;
}

}  // namespace qv::desktop
