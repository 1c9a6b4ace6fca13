#include "ui/win32/modal_window.h"

#include "ui/win32/message_loop.h"

namespace qv::ui::win32 {

namespace {

constexpr UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, for systems whose headers are older

}  // namespace

int ModalWindow::ShowModal(HWND owner) {
    ended_ = false;
    result_ = IDCANCEL;
    if (!CreateModal(owner)) {
        return kModalNotShown;
    }
    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        ::EnableWindow(owner, FALSE);
    }
    CentreOver(hwnd(), owner);
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    if (HWND focus = InitialFocus(); focus != nullptr) {
        ::SetFocus(focus);
    }
    (void)RunMessageLoop(hwnd(), &ended_);
    // The owner comes back before this window goes, so the system activates the owner and
    // not some other program's window.
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
    }
    Destroy();
    return result_;
}

void ModalWindow::EndModal(int result) {
    result_ = result;
    ended_ = true;
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);  // wakes the loop
}

LRESULT ModalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case DM_GETDEFID:
            return MAKELRESULT(DefaultButton(), DC_HASDEFID);
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOk();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return 0;
            }
            break;
        case WM_CLOSE:
            OnCancel();
            return 0;
        case kWmDpiChanged: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            OnDpiChanged(HIWORD(wParam));
            return 0;
        }
        case WM_DESTROY:
            ended_ = true;
            return 0;
        default:
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace qv::ui::win32
