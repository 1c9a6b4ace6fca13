#include <windows.h>

#include <shellapi.h>

#include <string>

#include "base/win32/system_library.h"
#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"

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

// The system's text for an error code, without its line break; the number when it has none.
std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
        message.pop_back();
    }
    return message.empty() ? "Error " + std::to_string(error) + "." : winbase::Narrow(message);
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

OpenResult Win32Desktop::OpenAddress(WindowId owner, std::string_view address, ShowCommand show) {
    // The shell is loaded for the first address opened, not at every start of the saver host,
    // and kept until the process ends: advert.dll opens through this too, and a static
    // destructor there would free the shell inside the loader's lock when it is unloaded.
    static const winbase::SystemLibrary& shell = *new winbase::SystemLibrary(L"shell32.dll");
    const auto open = shell.Find<decltype(&::ShellExecuteW)>("ShellExecuteW");
    if (open == nullptr) {
        return {false, "ShellExecuteW of shell32.dll cannot be found."};
    }
    ::SetLastError(ERROR_SUCCESS);
    const auto code = reinterpret_cast<INT_PTR>(open(reinterpret_cast<HWND>(owner), L"open",
                                                     winbase::Widen(address).c_str(), L"", L"",
                                                     ShowWindowCommand(show)));
    if (code > 32) {
        return {true, {}};
    }
    // The shell sets the last error; its own code (SE_ERR_) is the reason when it does not.
    const DWORD error = ::GetLastError();
    return {false, error != ERROR_SUCCESS
                       ? SystemMessage(error)
                       : "The shell could not open it (code " + std::to_string(code) + ")."};
}

}  // namespace qv::platform::win32
