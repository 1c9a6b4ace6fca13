// A saver host that starts slowly, for the Tessel preview's scenarios:
// started with "zz" as the real one is, it appends
//   slowshow|start|<command line>
// waits QV_SLOW_SHOW_MS milliseconds (as the real show might on a busy machine), reads the
// three values the preview sets and appends
//   slowshow|read|<Tessel>|<CurrentTessel>|<RotationEnabled>
// then shows a window titled "Quorvanes" (the preview's sign that the show has read them)
// for QV_SLOW_SHOW_HOLD_MS milliseconds, or until it is closed.
#include <windows.h>

#include <string>

#include "record.h"

namespace {

using qv::doubles::Append;
using qv::doubles::Env;

std::wstring UserValue(const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Quorvanes\\Tessels", name, RRF_RT_REG_SZ,
                       nullptr, text, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

DWORD Milliseconds(const wchar_t* name, DWORD fallback) {
    const std::wstring text = Env(name);
    return text.empty() ? fallback : static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10));
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER || message == WM_CLOSE) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::wstring file = Env(L"QV_RECORD_FILE");
    if (file.empty()) {
        return 2;
    }
    Append(file, std::wstring(L"slowshow|start|") + ::GetCommandLineW());
    ::Sleep(Milliseconds(L"QV_SLOW_SHOW_MS", 3000));
    Append(file, L"slowshow|read|" + UserValue(L"Tessel") + L"|" + UserValue(L"CurrentTessel") +
                     L"|" + UserValue(L"RotationEnabled"));

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuorvanesSlowShow";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Quorvanes", WS_POPUP, 0, 0, 64,
                                    48, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, SW_SHOW);
    ::SetTimer(window, 1, Milliseconds(L"QV_SLOW_SHOW_HOLD_MS", 3000), nullptr);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    Append(file, L"slowshow|end");
    return 0;
}
