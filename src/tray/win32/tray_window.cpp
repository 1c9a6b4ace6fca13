#include "tray/win32/tray_window.h"

#include <shellapi.h>
#include <windowsx.h>

#include <array>
#include <cwchar>

#include "base/win32/system_library.h"
#include "base/win32/wide.h"
#include "common/text.h"
#include "tray/names.h"
#include "tray/system_saver_start.h"
#include "ui/win32/message_loop.h"

namespace qv::tray::win32 {

namespace {

using winbase::UniqueHicon;
using winbase::UniqueHmenu;
using winbase::Widen;

constexpr UINT kIconId = 0;
constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW
using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);

// The notification record of the first shell version: the tip holds 63 characters.
NOTIFYICONDATAW IconRecord(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

void SetTip(NOTIFYICONDATAW& data, std::string_view tip) {
    const std::wstring wide = Widen(CutToUtf16Units(tip, kTipChars));
    std::wmemcpy(data.szTip, wide.c_str(), wide.size() + 1);
}

// The icon at the size of the notification area, not the first size in the file.
UniqueHicon LoadSmallIcon(HINSTANCE instance, const wchar_t* name) {
    return UniqueHicon(
        static_cast<HICON>(::LoadImageW(instance, name, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                        ::GetSystemMetrics(SM_CYSMICON), 0)));
}

}  // namespace

UniqueHmenu BuildTrayMenu() {
    UniqueHmenu menu(::CreatePopupMenu());
    if (!menu) {
        return menu;
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
        std::wstring label = Widen(entry.text);
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
        item.fType = entry.text.empty() ? MFT_SEPARATOR : MFT_STRING;
        item.wID = entry.id;
        item.dwTypeData = entry.text.empty() ? nullptr : label.data();
        item.cch = static_cast<UINT>(label.size());
        if (!::InsertMenuItemW(menu.get(), static_cast<UINT>(-1), TRUE, &item)) {
            return {};  // reported as "the menu could not be made"
        }
    }
    return menu;
}

TrayWindow::TrayWindow(HINSTANCE instance, const platform::Platform& platform,
                       std::string installLocation)
    : instance_(instance),
      platform_(platform),
      program_(platform, *this, std::move(installLocation)),
      activeIcon_(LoadSmallIcon(instance, L"TRAYICON")),
      inactiveIcon_(LoadSmallIcon(instance, L"TRAYICONOFF")),
      taskbarCreated_(::RegisterWindowMessageW(kTaskbarCreatedMessage)) {}

TrayWindow::~TrayWindow() {
    Destroy();
}

int TrayWindow::Run(int showCommand) {
    const std::wstring className = Widen(shared::kTrayWindowClass);
    const std::wstring title = Widen(shared::kTrayWindowTitle);
    ui::win32::WindowClass windowClass;
    windowClass.name = className.c_str();
    windowClass.instance = instance_;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ui::win32::WindowPlacement placement;
    placement.title = title.c_str();
    placement.style = WS_OVERLAPPEDWINDOW;
    if (!Create(windowClass, placement)) {
        TrayUtilities(platform_).ShowManagerError(0, text::RegisterFailed);
        return 0;
    }
    ::ShowWindow(hwnd(), showCommand);
    ::ShowWindow(hwnd(), SW_HIDE);
    ::UpdateWindow(hwnd());
    running_ = true;
    const int code = ui::win32::RunMessageLoop();
    running_ = false;
    program_.OnMessageLoopEnd(code == ui::win32::kMessageLoopFailed);
    return code;
}

LRESULT TrayWindow::OnCreate() {
    // Started by an installer that runs elevated, the program would not hear the message from
    // a shell that does not: that one message is let through, where the system has the
    // per-window filter (Windows 7 and later).
    if (const auto allow = winbase::LoadedExport<ChangeWindowMessageFilterExFn>(
            L"user32.dll", "ChangeWindowMessageFilterEx");
        allow != nullptr && taskbarCreated_ != 0) {
        (void)allow(hwnd(), taskbarCreated_, kMessageFilterAllow, nullptr);
    }
    menu_ = BuildTrayMenu();
    if (!menu_) {
        TrayUtilities(platform_).ShowManagerError(Window(), text::MenuFailed);
        return -1;
    }
    return program_.AddIconAndStartRefresh() ? 0 : -1;
}

void TrayWindow::OnDestroy() {
    program_.OnDestroy();
    menu_.reset();
    // A window whose creation failed must not end the loop of the box that reports it.
    if (running_) {
        ::PostQuitMessage(0);
    }
}

LRESULT TrayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() == -1 ? -1 : DefaultHandling(message, wParam, lParam);
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_ACTIVATE:
            ::ShowWindow(hwnd(), SW_HIDE);
            break;
        case WM_COMMAND:
            program_.OnCommand(LOWORD(wParam));
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_SCREENSAVE && winbase::RunsUnderWine()) {
                (void)StartSystemScreenSaver(platform_);
                return 0;
            }
            break;
        default:
            if (message == kWmTrayNotify && program_.OnTrayNotify(static_cast<unsigned>(lParam))) {
                return 1;
            }
            if (message == taskbarCreated_ && message != 0) {
                program_.OnTaskbarCreated();
                return 0;
            }
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

HICON TrayWindow::StateIcon(IconState state) const {
    return state == IconState::Active ? activeIcon_.get() : inactiveIcon_.get();
}

platform::WindowId TrayWindow::Window() const {
    return reinterpret_cast<platform::WindowId>(hwnd());
}

bool TrayWindow::AddIcon(IconState state, std::string_view tip, unsigned callbackMessage) {
    NOTIFYICONDATAW data = IconRecord(hwnd());
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = StateIcon(state);
    SetTip(data, tip);
    return ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool TrayWindow::ModifyIcon(IconState state, std::string_view tip) {
    NOTIFYICONDATAW data = IconRecord(hwnd());
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = StateIcon(state);
    SetTip(data, tip);
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayWindow::SetCallbackMessage(unsigned callbackMessage) {
    NOTIFYICONDATAW data = IconRecord(hwnd());
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = callbackMessage;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TrayWindow::DeleteIcon() {
    NOTIFYICONDATAW data = IconRecord(hwnd());
    (void)::Shell_NotifyIconW(NIM_DELETE, &data);
}

void TrayWindow::ShowMenu() {
    // Where the click was, not where the pointer has moved since.
    const DWORD clicked = ::GetMessagePos();
    // The menu closes when the user clicks elsewhere only if this window is in front.
    ::SetForegroundWindow(hwnd());
    (void)::TrackPopupMenu(menu_.get(), TPM_RIGHTALIGN, GET_X_LPARAM(clicked),
                           GET_Y_LPARAM(clicked), 0, hwnd(), nullptr);
    // ... and opens properly the next time only once the window has seen another message.
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void TrayWindow::RequestSystemScreenSaver() {
    ::SetForegroundWindow(hwnd());
    ::SendMessageW(hwnd(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void TrayWindow::DestroyWindow() {
    Destroy();
}

void TrayWindow::StartWorker(std::function<void()> work) {
    ui::win32::StartDetachedWorker(std::move(work));
}

bool TrayWindow::PostToWindowThread(const std::function<void()>& step) {
    return Gate()->Post(step);
}

}  // namespace qv::tray::win32
