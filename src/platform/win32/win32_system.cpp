// System parameters, message boxes, outside libraries and the clock.
#include <windows.h>

#include <utility>

#include "base/win32/system_error.h"
#include "base/win32/system_library.h"
#include "base/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

namespace {

constexpr UINT kUpdateAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;

using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);

// The system has no box with Yes and Cancel: an OK-and-Cancel box whose OK button is named
// Yes when it appears. The hook lives for one box on this thread.
thread_local HHOOK t_yesHook = nullptr;

LRESULT CALLBACK NameOkYes(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE) {
        ::SetDlgItemTextW(reinterpret_cast<HWND>(wParam), IDOK, L"&Yes");
        ::UnhookWindowsHookEx(std::exchange(t_yesHook, nullptr));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

}  // namespace

bool Win32SystemSettings::IsNT() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return ::GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

WriteResult Win32SystemSettings::SetScreenSaveActive(bool active) {
    ::SetLastError(ERROR_SUCCESS);
    if (::SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr,
                                kUpdateAndBroadcast) == 0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

WriteResult Win32SystemSettings::SetScreenSaveTimeout(int seconds) {
    ::SetLastError(ERROR_SUCCESS);
    if (::SystemParametersInfoW(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(seconds), nullptr,
                                kUpdateAndBroadcast) == 0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

WriteResult Win32SystemSettings::SetScreenSaverRunning(bool running) {
    BOOL previous = FALSE;
    ::SetLastError(ERROR_SUCCESS);
    if (::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0) ==
        0) {
        return WriteResult::Failed(winbase::LastErrorText());
    }
    return WriteResult::Done();
}

Answer Win32Dialogs::Show(const MessageBoxRequest& request) {
    UINT flags = MB_OK;
    switch (request.buttons) {
        case Buttons::Ok:
            flags = MB_OK;
            break;
        case Buttons::OkCancel:
            flags = MB_OKCANCEL;
            break;
        case Buttons::YesCancel:
            flags = MB_OKCANCEL;
            t_yesHook = ::SetWindowsHookExW(WH_CBT, NameOkYes, nullptr, ::GetCurrentThreadId());
            break;
    }
    if (request.warning) {
        flags |= MB_ICONWARNING;
    }
    const std::wstring text = winbase::Widen(request.text);
    const std::wstring caption =
        request.caption ? winbase::Widen(*request.caption) : std::wstring();
    const int pressed = ::MessageBoxW(reinterpret_cast<HWND>(request.owner), text.c_str(),
                                      request.caption ? caption.c_str() : nullptr, flags);
    if (t_yesHook != nullptr) {  // the box never appeared
        ::UnhookWindowsHookEx(std::exchange(t_yesHook, nullptr));
    }
    if (pressed == IDOK) {
        return request.buttons == Buttons::YesCancel ? Answer::Yes : Answer::Ok;
    }
    return pressed == IDYES ? Answer::Yes : Answer::Cancel;
}

LibraryResult Win32Libraries::PwdChangePassword(std::string_view dllPath, std::string_view provider,
                                                WindowId window) {
    const winbase::SystemLibrary library(winbase::Widen(dllPath));
    if (!library) {
        return {LibraryCall::NoLibrary, 0};
    }
    const auto change = library.Find<PwdChangePasswordFn>("PwdChangePasswordA");
    if (change == nullptr) {
        return {LibraryCall::NoFunction, 0};
    }
    const std::string providerName(provider);
    const DWORD result = change(providerName.c_str(), reinterpret_cast<HWND>(window), 0, 0);
    return {LibraryCall::Done, result};
}

LibraryResult Win32Libraries::VerifyScreenSavePwd(std::string_view dllPath, WindowId window) {
    const winbase::SystemLibrary library(winbase::Widen(dllPath));
    if (!library) {
        return {LibraryCall::NoLibrary, 0};
    }
    const auto verify = library.Find<VerifyScreenSavePwdFn>("VerifyScreenSavePwd");
    if (verify == nullptr) {
        return {LibraryCall::NoFunction, 0};
    }
    const BOOL result = verify(reinterpret_cast<HWND>(window));
    return {LibraryCall::Done, static_cast<std::uint32_t>(result)};
}

std::int64_t Win32Clock::NowMs() {
    return static_cast<std::int64_t>(::GetTickCount64());
}

void Win32Clock::SleepMs(std::int64_t ms) {
    ::Sleep(static_cast<DWORD>(ms));
}

int Win32TextRules::Collate(std::string_view a, std::string_view b) {
    const std::wstring wa = winbase::Widen(a);
    const std::wstring wb = winbase::Widen(b);
    const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(),
                                         static_cast<int>(wa.size()), wb.c_str(),
                                         static_cast<int>(wb.size()), nullptr, nullptr, 0);
    if (result == 0) {
        return wa.compare(wb) < 0 ? -1 : (wa == wb ? 0 : 1);  // the system could not tell
    }
    return result - CSTR_EQUAL;
}

bool Win32TextRules::SameName(std::string_view a, std::string_view b) {
    const std::wstring wa = winbase::Widen(a);
    const std::wstring wb = winbase::Widen(b);
    return ::CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                  static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

std::string Win32TextRules::FromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), units);
    return winbase::Narrow(wide);
}

Win32Platform::Win32Platform()
    : platform_{registry_, profile_, files_,     processes_, desktop_,
                system_,   dialogs_, libraries_, clock_,     text_} {}

}  // namespace qv::platform::win32
