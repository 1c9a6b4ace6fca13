#include "ui/win32/click.h"

#include <windowsx.h>

namespace qv::ui::win32 {

ClickTracker::Event ClickTracker::OnMessage(HWND window, UINT message, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            pressed_ = true;
            ::SetCapture(window);
            return Event::Taken;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressed_;
            pressed_ = false;
            if (!wasPressed) {
                return Event::Taken;
            }
            ::ReleaseCapture();
            RECT client{};
            ::GetClientRect(window, &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            return ::PtInRect(&client, at) ? Event::Clicked : Event::Taken;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return Event::Taken;
        default:
            return Event::NotMine;
    }
}

}  // namespace qv::ui::win32
