#include "ui/win32/system_dialogs.h"

#include <string>

#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"

namespace qv::ui::win32 {

using platform::Answer;
using platform::Buttons;
using platform::MessageBoxRequest;

namespace {

// The system has no box with Yes and Cancel: an OK-and-Cancel box whose OK button is named
// Yes when it appears. The hook lives for one box on this thread: the box's own activation
// removes it, so that a box shown while this one runs keeps its OK.
thread_local winbase::UniqueHhook t_yesHook;

LRESULT CALLBACK NameOkYes(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE && t_yesHook) {
        ::SetDlgItemTextW(reinterpret_cast<HWND>(wParam), IDOK, L"&Yes");
        t_yesHook.reset();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Answer SystemDialogs::Show(const MessageBoxRequest& request) {
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
            t_yesHook.reset(
                ::SetWindowsHookExW(WH_CBT, NameOkYes, nullptr, ::GetCurrentThreadId()));
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
    t_yesHook.reset();  // when the box never appeared
    if (pressed == IDOK) {
        return request.buttons == Buttons::YesCancel ? Answer::Yes : Answer::Ok;
    }
    return pressed == IDYES ? Answer::Yes : Answer::Cancel;
}

}  // namespace qv::ui::win32
