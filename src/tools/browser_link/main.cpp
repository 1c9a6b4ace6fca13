// QVBrowserLink.exe: the browser-link window of the installation. It owns a hidden
// top-level window titled "Quorvanes BrowserLink"; when the picture show notifies it
// (WM_USER, wParam 1) it reads UrlLink and opens that address with the shell's "open",
// which starts the default web browser.
//   QVBrowserLink.exe [--log FILE] [--no-open]
// --log appends every link received (and whether it was opened) to FILE; --no-open
// receives without starting a browser, for tests.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "config/names.h"
#include "config/reg_ini_file.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "saver/hot_spots.h"
#include "saver/names.h"
#include "tools/browser_link/web_link.h"

namespace {

using qv::platform::win32::Widen;

constexpr wchar_t kClassName[] = L"QuorvanesBrowserLink";
constexpr wchar_t kMutexName[] = L"QuorvanesBrowserLinkMutex";

struct Options {
    std::wstring logFile;
    bool open = true;
};

Options g_options;

void Log(const std::string& line) {
    if (g_options.logFile.empty()) {
        return;
    }
    const HANDLE out = ::CreateFileW(g_options.logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(out);
}

std::string ReadLink() {
    qv::platform::win32::Win32Registry registry;
    try {
        return qv::config::OpenUserIni(registry).ReadString(qv::config::kIniSection,
                                                            qv::config::value::UrlLink, "");
    } catch (const qv::config::ConfigError&) {
        return {};
    }
}

void OpenLink() {
    const std::string link = ReadLink();
    if (!qv::browser_link::IsWebLink(link)) {
        Log("refused|" + link);
        return;
    }
    if (g_options.open) {
        const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
            nullptr, L"open", Widen(link).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        Log((result > 32 ? "opened|" : "failed|") + link);
    } else {
        Log("received|" + link);
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == qv::saver::kWmUser && wParam == qv::saver::kBrowserLinkOpen) {
        OpenLink();
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

Options ParseOptions() {
    Options options;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (argv == nullptr) {
        return options;
    }
    for (int i = 1; i < count; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--log" && i + 1 < count) {
            options.logFile = argv[++i];
        } else if (arg == L"--no-open") {
            options.open = false;
        }
    }
    ::LocalFree(argv);
    return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_options = ParseOptions();
    qv::platform::win32::UniqueHandleKernel mutex(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        return 0;  // one receiver is enough: the show notifies the first window it finds
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.lpfnWndProc = &WindowProc;
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    const std::wstring title = Widen(qv::saver::kBrowserLinkTitle);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, title.c_str(), WS_POPUP, 0, 0, 0,
                                    0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    Log("ready");
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
