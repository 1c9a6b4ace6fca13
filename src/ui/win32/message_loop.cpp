#include "ui/win32/message_loop.h"

namespace qv::ui::win32 {

int RunMessageLoop(HWND dialog, const bool* ended) {
    MSG msg{};
    while (ended == nullptr || !*ended) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            return kMessageLoopFailed;
        }
        if (got == 0) {
            const int exitCode = static_cast<int>(msg.wParam);
            if (ended != nullptr) {
                ::PostQuitMessage(exitCode);
            }
            return exitCode;
        }
        if (dialog != nullptr && ::IsDialogMessageW(dialog, &msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace qv::ui::win32
