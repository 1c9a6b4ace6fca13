// The show's hint over a link area: one tooltip of the pictures, made the first time it is
// needed, and transparent to clicks.
#include "saver/win32/picture_window.h"

#include <commctrl.h>

#include "base/win32/wide.h"
#include "ui/win32/common_controls.h"

namespace qv::saver::win32 {

void PictureWindow::CreateTooltip() {
    (void)ui::win32::UseCommonControls(ICC_WIN95_CLASSES);
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                 nullptr, instance_, nullptr);
    if (tooltip_ == nullptr) {
        return;
    }
    for (const auto& picture : pictures_) {
        AddTip(picture->Handle());
    }
    ::SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
}

// Each monitor's picture is a tool of the one tooltip.
void PictureWindow::AddTip(HWND picture) const {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    // Transparent: a click where the hint shows is a click on the link beneath it.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(picture);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void PictureWindow::SetPictureHint(std::optional<std::string_view> hint) {
    if (hint.has_value() == hintOn_) {
        return;
    }
    if (tooltip_ == nullptr) {
        // Made the first time the pointer rests on a link: the common controls are not
        // started before the show is on the screen.
        CreateTooltip();
    }
    if (tooltip_ == nullptr) {
        return;
    }
    hintOn_ = hint.has_value();
    if (hint) {
        std::wstring text = winbase::Widen(*hint);
        for (const auto& picture : pictures_) {
            TOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.hwnd = hwnd();
            tool.uId = reinterpret_cast<UINT_PTR>(picture->Handle());
            tool.lpszText = text.data();
            ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    ::SendMessageW(tooltip_, TTM_ACTIVATE, hintOn_ ? TRUE : FALSE, 0);
    if (hintOn_) {
        RelayPointerToHint();
    }
}

// The movement that brought the pointer onto the link reached the hint before it was
// active, and so started no delay: without this, a pointer that stops there shows no hint
// until it moves again.
void PictureWindow::RelayPointerToHint() const {
    MSG arrival{};
    arrival.message = WM_MOUSEMOVE;
    arrival.time = ::GetMessageTime();
    if (!::GetCursorPos(&arrival.pt)) {
        return;
    }
    // To the picture under the pointer: the link is on one monitor's picture.
    for (const auto& picture : pictures_) {
        POINT client = arrival.pt;
        RECT inside{};
        ::ScreenToClient(picture->Handle(), &client);
        ::GetClientRect(picture->Handle(), &inside);
        if (::PtInRect(&inside, client)) {
            arrival.hwnd = picture->Handle();
            arrival.lParam = MAKELPARAM(client.x, client.y);
            ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&arrival));
            return;
        }
    }
}

}  // namespace qv::saver::win32
