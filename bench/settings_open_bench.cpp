// Opening the settings dialog of the real Quorvanes.scr ("/c") on a full installation, 200
// screen savers in the System folder (half 16-bit, half 32-bit with a description) and 500
// Tessels, against opening it with none: the time from the start to the window on the
// screen, medians of a few runs in turns. Adds (and then removes) the files and the current
// user's configuration: run it on a test prefix.
//   settings_open_bench.exe [RUNS]
#include <windows.h>

#include <string>
#include <vector>

#include "pe/pe_writer.h"
#include "test_savers.h"
#include "win32_bench_support.h"

namespace {

using namespace qv::bench;

constexpr int kSavers = 200;
constexpr int kTessels = 500;

// Start to the dialog on the screen, then closed as Cancel closes it.
double OpenMs(const std::wstring& command) {
    const Started dialog = Start(command);
    HWND window = nullptr;
    const double ms = MsUntil(
        dialog.at, [&] { return (window = VisibleWindowOf(dialog.pid, L"QuorvanesOptions")); });
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(dialog.process.get(), 30000);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring empty = std::wstring(temp) + L"qv-settings-bench-empty";
    const std::wstring full = std::wstring(temp) + L"qv-settings-bench-full";
    ::CreateDirectoryW(empty.c_str(), nullptr);
    ::CreateDirectoryW(full.c_str(), nullptr);
    wchar_t systemDir[MAX_PATH] = {};
    ::GetSystemDirectoryW(systemDir, MAX_PATH);

    std::vector<std::wstring> made;
    qv::pe::ResourceLibraryLayout described;
    described.strings[1] = "A described saver";
    const auto pe = qv::pe::WriteResourceLibrary(described);
    for (int i = 0; i < kSavers; ++i) {
        made.push_back(std::wstring(systemDir) + L"\\QVBench" + std::to_wstring(1000 + i) +
                       L".scr");
        WriteFileBytes(
            made.back(),
            i % 2 == 0 ? qv::testing::MakeNeSaver("SCRNSAVE : Bench " + std::to_string(i)) : pe);
    }
    for (int i = 0; i < kTessels; ++i) {
        made.push_back(full + L"\\Tessel" + std::to_wstring(1000 + i) + L".tsl");
        WriteFileBytes(made.back(), {'M', 'Z'});
    }

    const std::wstring command = L"\"" + Beside(L"Quorvanes.scr") + L"\" /c";
    std::vector<double> none;
    std::vector<double> many;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    for (int run = 0; run < runs; ++run) {
        for (const auto& path : made) {  // savers out of the way for the empty case
            if (path.find(L"QVBench") != std::wstring::npos) {
                ::MoveFileW(path.c_str(), (path + L".off").c_str());
            }
        }
        SetValue(HKEY_LOCAL_MACHINE, L"TesselsDir", empty);
        none.push_back(OpenMs(command));
        for (const auto& path : made) {
            if (path.find(L"QVBench") != std::wstring::npos) {
                ::MoveFileW((path + L".off").c_str(), path.c_str());
            }
        }
        SetValue(HKEY_LOCAL_MACHINE, L"TesselsDir", full);
        many.push_back(OpenMs(command));
    }
    for (const auto& path : made) {
        ::DeleteFileW(path.c_str());
    }
    ::RemoveDirectoryW(full.c_str());
    ::RemoveDirectoryW(empty.c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Quorvanes");

    std::printf("Quorvanes.scr /c, medians of %d runs:\n", runs);
    std::printf(
        "  to the dialog on the screen: with nothing to list %.1f ms, with %d savers and %d "
        "Tessels %.1f ms\n",
        Median(none), kSavers, kTessels, Median(many));
    Verdict("opening with 200 savers and 500 Tessels / with none", Median(many) / Median(none),
            1.5);
    return 0;
}
