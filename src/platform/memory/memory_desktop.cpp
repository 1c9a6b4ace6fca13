#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

std::optional<std::vector<TopLevelWindow>> MemoryDesktop::TopLevelWindows(
    std::optional<std::string_view> desktop, std::size_t maxTitleChars) {
    enumeratedDesktops.emplace_back(desktop ? std::optional<std::string>(*desktop) : std::nullopt);
    if (desktop && !defaultDesktopOpens) {
        return std::nullopt;
    }
    auto result = windows;
    for (auto& w : result) {
        if (w.title.size() > maxTitleChars) {
            w.title.resize(maxTitleChars);
        }
    }
    return result;
}

std::intptr_t MemoryDesktop::Send(WindowId window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    messages.push_back({Message::Kind::Send, window, message, wParam, lParam});
    return 0;
}

bool MemoryDesktop::SendNotify(WindowId window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    messages.push_back({Message::Kind::Notify, window, message, wParam, lParam});
    return true;
}

}  // namespace qv::platform::memory
