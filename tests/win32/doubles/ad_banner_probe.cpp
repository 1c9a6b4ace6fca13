// Hosts the settings window's banner control the way the saver host does: the start-up
// hardening first (unless --unhardened), then the control binds advert.dll by bare name and
// starts it. Exit code 0 when the control started with the advert.dll beside this program,
// 2 when the library came from anywhere else, 3 when the control did not start (the boxes of
// a missing library were shown and answered by then).
#include <windows.h>

#include <cwchar>
#include <string>

#include "adbanner/win32/ad_image.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/system_dialogs.h"
#include "ui/win32/program_start.h"

namespace {

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || std::wcscmp(argv[1], L"--unhardened") != 0) {
        qv::ui::win32::HardenDllSearch();
    }
    qv::ui::win32::SystemDialogs dialogs;
    HWND host = ::CreateWindowExW(0, L"STATIC", L"QV banner probe", WS_POPUP, 0, 0, 500, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    bool started = false;
    std::wstring libraryFolder;
    {
        qv::adbanner::win32::AdImage banner(dialogs);
        if (banner.Create(::GetModuleHandleW(nullptr), host, 1026)) {
            started = banner.banner().Started();
        }
        if (HMODULE advert = ::GetModuleHandleW(L"advert.dll"); advert != nullptr) {
            libraryFolder = FolderOf(advert);
        }
    }
    ::DestroyWindow(host);
    if (!started) {
        return 3;
    }
    return _wcsicmp(libraryFolder.c_str(), FolderOf(nullptr).c_str()) == 0 ? 0 : 2;
}
