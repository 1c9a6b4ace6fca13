#include <windows.h>

#include <shellapi.h>

#include "platform/win32/win32_platform.h"
#include "base/win32/system_library.h"
#include "base/win32/wide.h"

namespace qv::platform::win32 {

namespace {

struct Enumeration {
    std::size_t maxTitleChars;
    std::vector<TopLevelWindow> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM context) noexcept {
    auto& enumeration = *reinterpret_cast<Enumeration*>(context);
    std::wstring title(enumeration.maxTitleChars + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size()));
    title.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    DWORD process = 0;
    (void)::GetWindowThreadProcessId(hwnd, &process);
    try {
        enumeration.windows.push_back({reinterpret_cast<WindowId>(hwnd), winbase::Narrow(title),
                                       process, ::IsWindowVisible(hwnd) != FALSE});
    } catch (...) {
        return FALSE;  // out of memory: stop the enumeration
    }
    return TRUE;
}

HWND Hwnd(WindowId id) {
    return reinterpret_cast<HWND>(id);
}

}  // namespace

std::optional<std::vector<TopLevelWindow>> Win32Desktop::TopLevelWindows(
    std::optional<std::string_view> desktop, std::size_t maxTitleChars) {
    Enumeration enumeration{maxTitleChars, {}};
    const auto context = reinterpret_cast<LPARAM>(&enumeration);
    if (!desktop) {
        ::EnumWindows(CollectWindow, context);
        return std::move(enumeration.windows);
    }
    winbase::UniqueHdesk handle(::OpenDesktopW(winbase::Widen(*desktop).c_str(), 0, FALSE,
                                               DESKTOP_READOBJECTS | DESKTOP_ENUMERATE));
    if (!handle) {
        return std::nullopt;
    }
    ::EnumDesktopWindows(handle.get(), CollectWindow, context);
    return std::move(enumeration.windows);
}

std::intptr_t Win32Desktop::Send(WindowId window, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return ::SendMessageW(Hwnd(window), message, wParam, lParam);
}

bool Win32Desktop::SendNotify(WindowId window, unsigned message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    return ::SendNotifyMessageW(Hwnd(window), message, wParam, lParam) != 0;
}

void Win32Desktop::BroadcastWinIniChange() {
    // A hung window is passed over, and each one gets a bounded time: one window that does
    // not answer must not hang the caller (the tray's restart, the settings' OK).
    constexpr UINT kBroadcastMs = 2000;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG, kBroadcastMs,
                          nullptr);
}

void Win32Desktop::OpenAddress(WindowId owner, std::string_view address, ShowCommand show) {
    // The shell is loaded for the first address opened, not at every start of the saver host.
    static const winbase::SystemLibrary shell(L"shell32.dll");
    const auto open = shell.Find<decltype(&::ShellExecuteW)>("ShellExecuteW");
    if (open != nullptr) {
        (void)open(reinterpret_cast<HWND>(owner), L"open", winbase::Widen(address).c_str(), L"",
                   L"", ShowWindowCommand(show));
    }
}

}  // namespace qv::platform::win32
