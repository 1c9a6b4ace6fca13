#include "tray/win32/tray_window.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

#include "platform/win32/wide.h"
#include "tray/names.h"
#include "tray/win32/system_saver_start.h"

namespace qv::tray::win32 {

namespace {

constexpr UINT kIconId = 0;

struct WindowContext {
    const platform::Platform* platform = nullptr;
    Win32TrayShell* shell = nullptr;
    TrayProgram* program = nullptr;
};

WindowContext g_context;  // the one window of the program, set before it is created

HICON StateIconHandle(HINSTANCE instance, IconState state) {
    // Shared resource icons: never destroyed.
    return ::LoadIconA(instance, state == IconState::Active ? "TRAYICON" : "TRAYICONOFF");
}

// The notification record of the first shell version; the tip is cut to 63 characters.
NOTIFYICONDATAA IconRecord(HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

void SetTip(NOTIFYICONDATAA& data, std::string_view tip) {
    const std::size_t length = std::min(tip.size(), kTipChars);
    std::memcpy(data.szTip, tip.data(), length);
    data.szTip[length] = '\0';
}

LRESULT OnCreate(HWND hwnd) {
    g_context.shell->SetWindow(hwnd);
    if (!g_context.shell->BuildMenu()) {
        TrayUtilities(*g_context.platform)
            .ShowManagerError(reinterpret_cast<platform::WindowId>(hwnd), text::MenuFailed);
        return -1;
    }
    if (!g_context.program->AddIconAndStartRefresh()) {
        return -1;
    }
    return 0;
}

LRESULT CALLBACK TrayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_context.program == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            if (OnCreate(hwnd) == -1) {
                return -1;
            }
            break;
        case WM_DESTROY:
            g_context.program->OnDestroy();
            g_context.shell->DestroyMenu();
            ::PostQuitMessage(0);
            return 0;
        case WM_ACTIVATE:
            ::ShowWindow(hwnd, SW_HIDE);
            break;
        case WM_COMMAND:
            g_context.program->OnCommand(static_cast<unsigned>(wParam));
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_SCREENSAVE && !SystemStartsScreenSavers()) {
                StartSystemScreenSaver(*g_context.platform);
                return 0;
            }
            break;
        default:
            if (message == kWmTrayNotify &&
                g_context.program->OnTrayNotify(static_cast<unsigned>(lParam))) {
                return 1;
            }
            break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterTrayClass(HINSTANCE instance) {
    const std::wstring className = platform::win32::Widen(kWindowClass);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &TrayWndProc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className.c_str();
    return ::RegisterClassExW(&wc) != 0;
}

void ShowManagerError(const platform::Platform& platform, std::string_view text) {
    TrayUtilities(platform).ShowManagerError(0, text);
}

}  // namespace

bool Win32TrayShell::BuildMenu() {
    menu_.reset(::CreatePopupMenu());
    if (!menu_) {
        return false;
    }
    struct Entry {
        UINT id;
        std::string_view text;  // empty: a separator
    };
    const std::array<Entry, 5> entries{{{kIdmLaunch, text::MenuLaunch},
                                        {kIdmSettings, text::MenuSettings},
                                        {0, {}},
                                        {kIdmRestart, text::MenuRestart},
                                        {kIdmShutdown, text::MenuShutdown}}};
    for (const Entry& entry : entries) {
        std::string label(entry.text);
        MENUITEMINFOA item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
        item.fType = entry.text.empty() ? MFT_SEPARATOR : MFT_STRING;
        item.wID = entry.id;
        item.dwTypeData = entry.text.empty() ? nullptr : label.data();
        item.cch = static_cast<UINT>(label.size());
        (void)::InsertMenuItemA(menu_.get(), static_cast<UINT>(-1), TRUE, &item);
    }
    return true;
}

platform::WindowId Win32TrayShell::Window() const {
    return reinterpret_cast<platform::WindowId>(window_);
}

bool Win32TrayShell::AddIcon(IconState state, std::string_view tip, unsigned callbackMessage) {
    NOTIFYICONDATAA data = IconRecord(window_);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = StateIconHandle(instance_, state);
    SetTip(data, tip);
    return ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void Win32TrayShell::ModifyIcon(IconState state, std::string_view tip) {
    NOTIFYICONDATAA data = IconRecord(window_);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = StateIconHandle(instance_, state);
    SetTip(data, tip);
    (void)::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void Win32TrayShell::SetCallbackMessage(unsigned callbackMessage) {
    NOTIFYICONDATAA data = IconRecord(window_);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = callbackMessage;
    (void)::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void Win32TrayShell::DeleteIcon() {
    NOTIFYICONDATAA data = IconRecord(window_);
    (void)::Shell_NotifyIconA(NIM_DELETE, &data);
}

void Win32TrayShell::ShowMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);  // before the queue is emptied
    ::SetForegroundWindow(window_);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    (void)::TrackPopupMenu(menu_.get(), TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window_, nullptr);
    // The menu closes properly only once the window has seen another message.
    ::PostMessageW(window_, WM_NULL, 0, 0);
}

void Win32TrayShell::RequestSystemScreenSaver() {
    ::SetForegroundWindow(window_);
    ::SendMessageW(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void Win32TrayShell::PostDestroy() {
    ::PostMessageW(window_, WM_DESTROY, 0, 0);
}

void Win32TrayShell::StartWorker(std::function<void()> work) {
    std::thread(std::move(work)).detach();
}

int RunTrayWindow(HINSTANCE instance, int showCommand, const platform::Platform& platform,
                  const std::string& installLocation) {
    Win32TrayShell shell(instance);
    TrayProgram program(platform, shell, installLocation);
    g_context = {&platform, &shell, &program};

    if (!RegisterTrayClass(instance)) {
        ShowManagerError(platform, text::RegisterFailed);
        return 0;
    }
    HWND window =
        ::CreateWindowExW(0, platform::win32::Widen(kWindowClass).c_str(),
                          platform::win32::Widen(kWindowTitle).c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                          0, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        ShowManagerError(platform, text::RegisterFailed);
        return 0;
    }
    ::ShowWindow(window, showCommand);
    ::ShowWindow(window, SW_HIDE);
    ::UpdateWindow(window);

    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return 0;
        }
        if (got == -1) {
            // The loop cannot go on: leave no icon behind in the notification area.
            ::DestroyWindow(window);
            return 1;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace qv::tray::win32
