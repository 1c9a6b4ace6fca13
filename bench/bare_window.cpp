// The yardstick for the saver host's start: the least a Win32 program does to put a window
// on the screen (a class, a full-screen popup, a message loop). Its window is red, as the
// show's first picture is, so that the two can be timed alike: to their pixels on the screen. It
// marks the steps of its start as the saver host does, so that the two starts can be read side by
// side.
#include <windows.h>

#include "saver/win32/start_trace.h"

using qv::saver::win32::MarkStart;

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    MarkStart("entry");
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = instance;
    wc.hbrBackground = ::CreateSolidBrush(RGB(220, 30, 30));
    wc.lpszClassName = L"QuorvanesBareWindow";
    ::RegisterClassExW(&wc);
    const HWND window = ::CreateWindowExW(
        WS_EX_TOPMOST, wc.lpszClassName, L"bare", WS_POPUP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
        ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    MarkStart("show-window");
    ::ShowWindow(window, SW_SHOW);
    MarkStart("window-shown");
    ::UpdateWindow(window);
    MarkStart("window-painted");
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}
