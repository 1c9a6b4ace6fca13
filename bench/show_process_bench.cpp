// The real saver host under Wine or on Windows: the time from starting Quorvanes.scr /s to
// its first picture on the screen, and its peak working set after a few pictures and after
// many, against one decoded picture's size. Uses (and then removes) the configuration of the
// current user, so run it on a test machine or prefix.
//   show_process_bench.exe [PICTURES]
#include <windows.h>

#include <psapi.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "base/win32/unique_handle.h"
#include "imaging/jpeg_decoder.h"
#include "pe/pe_writer.h"
#include "test_jpegs.h"
#include "win32_bench_support.h"

namespace {

using namespace std::chrono_literals;
using namespace qv::bench;
using qv::winbase::UniqueHandleKernel;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The first picture is red all over, the others grey: the first is easy to see arrive.
void WriteTessel(const std::wstring& path, int pictures) {
    qv::pe::ResourceLibraryLayout layout;
    for (int i = 0; i < pictures; ++i) {
        const std::array<std::uint8_t, 3> colour =
            i == 0 ? std::array<std::uint8_t, 3>{220, 30, 30}
                   : std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(40 + i % 100), 90, 90};
        layout.rcdata.push_back(
            {"PICTURE" + std::to_string(1000 + i) + "JPEG",
             qv::testing::MakeJpeg(qv::testing::JpegOptions{
                 .width = kWidth, .height = kHeight, .quality = 85, .solid = colour})});
    }
    WriteFileBytes(path, qv::pe::WriteResourceLibrary(layout));
}

double PeakWorkingSetMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(process, &counters, sizeof(counters))) {
        return -1;
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const int pictures = argc > 1 ? std::max(12, std::atoi(argv[1])) : 40;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qv-show-process-bench";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring tessel = folder + L"\\Bench.tsl";
    WriteTessel(tessel, pictures);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    SetValue(HKEY_LOCAL_MACHINE, L"TesselsDir", folder);
    SetValue(HKEY_CURRENT_USER, L"CurrentTessel", L"Bench");
    SetValue(HKEY_CURRENT_USER, L"ViewTime", L"-4");  // one second a picture, the least

    std::wstring command = L"\"" + Beside(L"Quorvanes.scr") + L"\" /s";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const auto start = std::chrono::steady_clock::now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        std::fprintf(stderr, "Quorvanes.scr did not start\n");
        return 1;
    }
    const UniqueHandleKernel process(info.hProcess);
    const UniqueHandleKernel thread(info.hThread);
    while (!CentreIsRed()) {
        if (std::chrono::steady_clock::now() - start > 60s) {
            std::fprintf(stderr, "no picture within a minute\n");
            ::TerminateProcess(process.get(), 1);
            return 1;
        }
        std::this_thread::sleep_for(2ms);
    }
    const double firstMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    // The first second ignores input; then a picture a second.
    std::this_thread::sleep_for(std::chrono::seconds(1 + 10));
    const double afterTen = PeakWorkingSetMb(process.get());
    std::this_thread::sleep_for(std::chrono::seconds(pictures - 10));
    const double afterAll = PeakWorkingSetMb(process.get());
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 10000);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    ::DeleteFileW(tessel.c_str());
    ::RemoveDirectoryW(folder.c_str());

    const double frameMb = static_cast<double>(qv::imaging::DibStride(kWidth)) * kHeight / 1e6;
    const double growth = afterAll - afterTen;
    std::printf("Quorvanes.scr /s over %d pictures of %d x %d (one decoded picture: %.1f MB)\n",
                pictures, kWidth, kHeight, frameMb);
    std::printf("  process start to the first picture on the screen: %8.1f ms\n", firstMs);
    std::printf("  peak working set after about 10 pictures:          %8.1f MB\n", afterTen);
    std::printf("  peak working set after about %3d pictures:         %8.1f MB\n", pictures,
                afterAll);
    std::printf(
        "  growth: %.1f MB (%.2f of one picture) %s\n", growth, growth / frameMb,
        growth < frameMb ? "goal met: memory does not grow with the pictures" : "GOAL MISSED");
    return 0;
}
