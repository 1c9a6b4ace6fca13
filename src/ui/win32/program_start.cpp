#include "ui/win32/program_start.h"

#include <windows.h>

#include "base/win32/system_library.h"

namespace qv::ui::win32 {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

void HardenDllSearch() {
    // Looked up rather than linked: older systems lack it, and the program must still start.
    const auto setDefault = winbase::LoadedExport<SetDefaultDllDirectoriesFn>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
        ::SetDllDirectoryW(L"");
    }
}

}  // namespace qv::ui::win32
