#include "ui/win32/program_start.h"

#include <windows.h>

namespace qv::ui::win32 {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

void HardenDllSearch() {
    // Looked up rather than linked: older systems lack it, and the program must still start.
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const FARPROC proc =
        kernel != nullptr ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(proc));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
        ::SetDllDirectoryW(L"");
    }
}

}  // namespace qv::ui::win32
