// The yardstick for the saver host's start: the least a Win32 program does to put a window
// on the screen (a class, a full-screen black popup, a message loop).
#include <windows.h>

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
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"QuorvanesBareWindow";
    ::RegisterClassExW(&wc);
    const HWND window = ::CreateWindowExW(
        WS_EX_TOPMOST, wc.lpszClassName, L"bare", WS_POPUP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
        ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}
