// What the benches of the real programs under Wine (or on Windows) share: starting a
// program beside the bench, waiting for its window, timing, and the report of a ratio.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/win32/unique_handle.h"

namespace qv::bench {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

inline std::wstring Beside(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

inline void SetValue(HKEY root, const wchar_t* name, const std::wstring& text) {
    ::RegSetKeyValueW(root, L"Software\\Quorvanes\\Tessels", name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

inline void WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const winbase::UniqueHandleKernel file(::CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The show's first picture, red all over, has reached the middle of the screen.
inline bool CentreIsRed() {
    HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, ::GetSystemMetrics(SM_CXSCREEN) / 2,
                                      ::GetSystemMetrics(SM_CYSCREEN) / 2);
    ::ReleaseDC(nullptr, screen);
    return GetRValue(pixel) > 180 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
}

struct Started {
    winbase::UniqueHandleKernel process;
    DWORD pid = 0;
    Clock::time_point at;
};

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM context) noexcept {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (owner == search.pid && std::wstring(cls) == search.className && ::IsWindowVisible(hwnd)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

inline HWND VisibleWindowOf(DWORD pid, const wchar_t* className) {
    WindowSearch search{pid, className, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline Started Start(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    Started started;
    started.at = Clock::now();
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::CloseHandle(info.hThread);
        started.process.reset(info.hProcess);
        started.pid = info.dwProcessId;
    }
    return started;
}

inline double MsSince(Clock::time_point at) {
    return std::chrono::duration<double, std::milli>(Clock::now() - at).count();
}

// Polls every millisecond; the time from the start until `done`, or -1 after a minute.
inline double MsUntil(Clock::time_point since, const std::function<bool()>& done) {
    while (!done()) {
        if (Clock::now() - since > 60s) {
            return -1;
        }
        std::this_thread::sleep_for(1ms);
    }
    return MsSince(since);
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline void Verdict(const char* what, double ratio, double goal) {
    std::printf("  %-58s %6.3f  (goal <= %.3f) %s\n", what, ratio, goal,
                ratio >= 0 && ratio <= goal ? "ok" : "MISSED");
}

}  // namespace qv::bench
