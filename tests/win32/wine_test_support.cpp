#include "wine_test_support.h"

#include <thread>
#include <vector>

#include "platform/win32/wide.h"

namespace qv::wintest {

std::wstring SiblingPath(const wchar_t* fileName) {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(got);
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + fileName;
}

Child StartProgram(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    Child child;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::CloseHandle(info.hThread);
        child.process.reset(info.hProcess);
        child.pid = info.dwProcessId;
    }
    return child;
}

std::optional<DWORD> WaitForExit(const Child& child, std::chrono::milliseconds limit) {
    if (::WaitForSingleObject(child.process.get(), static_cast<DWORD>(limit.count())) !=
        WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child.process.get(), &code);
    return code;
}

namespace {

struct BoxSearch {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM context) noexcept {
    auto& search = *reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (owner == search.pid && std::wstring(cls) == L"#32770" && ::IsWindowVisible(hwnd)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(1024, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), 1024)));
    return text;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM context) noexcept {
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == L"Static") {
        auto& text = *reinterpret_cast<std::wstring*>(context);
        const auto piece = WindowText(hwnd);
        if (!piece.empty()) {
            text += piece;
        }
    }
    return TRUE;
}

}  // namespace

std::optional<MessageBoxSeen> WaitForMessageBox(DWORD pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        BoxSearch search{pid};
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            std::wstring text;
            ::EnumChildWindows(search.found, CollectStatic, reinterpret_cast<LPARAM>(&text));
            return MessageBoxSeen{search.found, Utf8(WindowText(search.found)), Utf8(text)};
        }
        std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
}

void Answer(const MessageBoxSeen& box, int buttonId) {
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

void ResetConfiguration() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Quorvanes");
}

std::string Utf8(const std::wstring& text) {
    return platform::win32::Narrow(text);
}

}  // namespace qv::wintest
