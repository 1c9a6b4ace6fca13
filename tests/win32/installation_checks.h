// What the installer scenarios (QuorvanesSetup.exe and Quorvanes.msi) read back of an
// installation: machine registry values, files, Start-menu shortcuts, running processes,
// and the steps a scenario is made of. The names are the programs' own (install_names.h
// and the headers beside it), as the installers take them.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::wintest {

// The installers write the registry view their programs read: the 32-bit one for the 32-bit
// build, the 64-bit one for the 64-bit build's installers.
inline constexpr REGSAM kView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
inline constexpr REGSAM kOtherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

// A name of the headers, as the Win32 calls want it.
std::wstring W(std::string_view name);

std::optional<std::wstring> MachineText(const std::wstring& key, const std::wstring& name,
                                        REGSAM view = kView);
std::optional<DWORD> MachineNumber(const std::wstring& key, const std::wstring& name);
bool KeyExists(const std::wstring& key, REGSAM view = kView);
// The names of the subkeys of a machine key.
std::vector<std::wstring> MachineSubkeys(const std::wstring& key, REGSAM view = kView);

bool IsFile(const std::wstring& path);
bool IsFolder(const std::wstring& path);
std::wstring Lower(std::wstring text);

// The Start-menu folder of all users' programs that the installation makes (CSIDL_COMMON_
// PROGRAMS), or the one of the current user's programs (CSIDL_PROGRAMS).
std::wstring StartMenuFolder(bool allUsers = true);

struct Shortcut {
    std::wstring target;
    std::wstring arguments;
};
// What a Start-menu entry starts, read through the shell's own link object (COM must be
// initialised on the calling thread).
std::optional<Shortcut> ReadShortcut(const std::wstring& path);

// The processes whose program file lies in the folder.
std::vector<std::wstring> ProcessesFrom(const std::wstring& folder);

// One step of a scenario: its checks carry the step's name, an ASSERT in it ends only the
// step, and it reports its outcome on its own line. True when none of its checks failed.
bool RunStep(const char* name, const std::function<void()>& body);

// The layout both installers make in `folder` (the program folder): the files, the machine
// values, the log-on entries, the per-user step's Active Setup entry and the Start-menu
// entries in `menu`, each checked in a step of its own. The NSIS installation has its
// uninstaller in the folder as well (`withUninstaller`), and its Start-menu entry for it
// starts that; the MSI's starts msiexec.
void ExpectInstalledLayout(const std::wstring& folder, bool withUninstaller,
                           const std::wstring& menu);

// After a removal: no program of `folder` runs, and the Start-menu folder `menu`, the
// machine key, the log-on entries and the Active Setup entry are gone.
void ExpectRemoved(const std::wstring& folder, const std::wstring& menu);

}  // namespace qv::wintest
