// A stand-in screen saver and Preshow for the Wine tests. It appends one line about how it
// was started to the file named by QV_RECORD_FILE:
//   <own file name>|start|<command line>|<working folder>|<priority class, hex>|<created>
// where <created> is the process's creation time as the system recorded it, in milliseconds
// of the system's clock (FILETIME / 10000): a test measures delays from it, not from when it
// happened to read the file.
// A Preshow (built as .exe) then stays QV_PRESHOW_HOLD_MS milliseconds and appends
//   <own file name>|end
// so that a test can see whether its starter waited for it.
#include <windows.h>

#include <cwchar>
#include <string>

#include "record.h"

namespace {

using qv::doubles::Append;
using qv::doubles::Env;

std::wstring OwnFileName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    return slash != nullptr ? slash + 1 : path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring file = Env(L"QV_RECORD_FILE");
    if (file.empty()) {
        return 2;
    }
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    wchar_t priority[16] = {};
    std::swprintf(priority, 16, L"%lx", ::GetPriorityClass(::GetCurrentProcess()));
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    const unsigned long long createdMs =
        ((static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime) /
        10000;
    const std::wstring name = OwnFileName();
    Append(file, name + L"|start|" + ::GetCommandLineW() + L"|" + folder + L"|" + priority + L"|" +
                     std::to_wstring(createdMs));

    const std::wstring lower = name.size() > 4 ? name.substr(name.size() - 4) : name;
    if (_wcsicmp(lower.c_str(), L".exe") == 0) {
        const std::wstring hold = Env(L"QV_PRESHOW_HOLD_MS");
        if (!hold.empty()) {
            ::Sleep(static_cast<DWORD>(std::wcstoul(hold.c_str(), nullptr, 10)));
        }
        Append(file, name + L"|end");
    }
    return 0;
}
