// Loads "qvplanted.dll" by bare name, as a program loads an optional library, after the
// programs' start-up hardening when started with --harden. Exit code 2 when the library
// was found (in the current folder: the test puts it only there), 0 when it was not.
#include <windows.h>

#include <cwchar>

#include "ui/win32/program_start.h"

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--harden") == 0) {
        qv::ui::win32::HardenDllSearch();
    }
    const HMODULE planted = ::LoadLibraryW(L"qvplanted.dll");
    return planted != nullptr ? 2 : 0;
}
