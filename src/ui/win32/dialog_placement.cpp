#include "ui/win32/dialog_placement.h"

namespace qv::ui::win32 {

namespace {

// The owner's mark: its owned windows are placed.
constexpr wchar_t kPlacesOwned[] = L"QuorvanesPlacesOwnedDialogs";

void CentreOnPrimaryWorkArea(HWND dialog) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT box{};
    if (!::GetMonitorInfoW(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
        !::GetWindowRect(dialog, &box)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    ::SetWindowPos(dialog, HWND_TOPMOST, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void OwnedDialogPlacement::Start(HWND owner) {
    Stop();
    if (owner == nullptr || !::SetPropW(owner, kPlacesOwned, owner)) {
        return;
    }
    owner_ = owner;
    hook_.reset(::SetWindowsHookExW(WH_CBT, Procedure, nullptr, ::GetCurrentThreadId()));
}

void OwnedDialogPlacement::Stop() {
    hook_.reset();
    if (owner_ != nullptr) {
        ::RemovePropW(owner_, kPlacesOwned);  // nothing when the window has gone
        owner_ = nullptr;
    }
}

LRESULT CALLBACK OwnedDialogPlacement::Procedure(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE) {
        const auto activated = reinterpret_cast<HWND>(wParam);
        const HWND owner = ::GetWindow(activated, GW_OWNER);
        if (owner != nullptr && ::GetPropW(owner, kPlacesOwned) == owner) {
            CentreOnPrimaryWorkArea(activated);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace qv::ui::win32
