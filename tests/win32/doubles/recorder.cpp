// A stand-in screen saver and Preshow for the Wine tests. It appends one line about how it
// was started to the file named by QV_RECORD_FILE:
//   <own file name>|start|<command line>|<working folder>|<priority class, hex>
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
    const std::wstring name = OwnFileName();
    Append(file, name + L"|start|" + ::GetCommandLineW() + L"|" + folder + L"|" + priority);

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
