// The real saver host's processor time while it shows pictures, with the crossfade off and
// on: 5-second pictures (ViewTime 0) of 1920 x 1080, fitted to the primary monitor
// (PictureSize 1), over SECONDS seconds each (60 by default), after the first picture. The
// share of one core is the process's user and kernel time over the time it ran. Uses (and
// then removes) the configuration of the current user, so run it on a test machine or prefix.
//   show_cpu_bench.exe [SECONDS]
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "base/win32/system_library.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "pe/pe_writer.h"
#include "test_jpegs.h"
#include "win32_bench_support.h"

namespace {

using namespace qv::bench;

// Red first, then pictures of other colours, so each change is a visible one.
void WriteTessel(const std::wstring& path) {
    qv::pe::ResourceLibraryLayout layout;
    for (int i = 0; i < 6; ++i) {
        const std::array<std::uint8_t, 3> colour =
            i == 0 ? std::array<std::uint8_t, 3>{220, 30, 30}
                   : std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(30 * i), 90,
                                                 static_cast<std::uint8_t>(200 - 20 * i)};
        layout.rcdata.push_back({"PICTURE" + std::to_string(10 + i) + "JPEG",
                                 qv::testing::MakeJpeg(qv::testing::JpegOptions{
                                     .width = 1920,
                                     .height = 1080,
                                     .quality = 85,
                                     .smooth = true,
                                     .solid = i == 0 ? std::optional(colour) : std::nullopt})});
    }
    WriteFileBytes(path, qv::pe::WriteResourceLibrary(layout));
}

std::string ReadWhole(const std::wstring& path) {
    const qv::winbase::UniqueHandleKernel file(::CreateFileW(path.c_str(), GENERIC_READ,
                                                             FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                             nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

// Under Wine a process's times are not told to another process: they are read from the
// Linux side, /proc/PID/stat of the process whose command line is the show's (user and
// system time, in ticks of 10 ms). -1 where there is no such process.
double UnixCpuMs(const std::wstring& showCommand) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) {
        return -1;
    }
    double ms = -1;
    do {
        const std::wstring pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) {
            continue;
        }
        std::string command = ReadWhole(L"Z:\\proc\\" + pid + L"\\cmdline");
        std::replace(command.begin(), command.end(), '\0', ' ');
        if (command.find(qv::winbase::Narrow(showCommand)) == std::string::npos) {
            continue;
        }
        const std::string stat = ReadWhole(L"Z:\\proc\\" + pid + L"\\stat");
        const auto end = stat.rfind(')');
        if (end == std::string::npos) {
            continue;
        }
        // Fields 14 and 15 (utime, stime); the state is field 3, right after the name.
        std::istringstream fields(stat.substr(end + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i >= 14) {
                ticks += std::stod(field);
            }
        }
        ms = ticks * 10.0;
        break;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return ms;
}

double CpuMs(HANDLE process, const std::wstring& showCommand) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return -1;
    }
    if (qv::winbase::RunsUnderWine()) {
        return UnixCpuMs(showCommand);
    }
    const auto ms = [](const FILETIME& time) {
        return static_cast<double>(
                   ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

// The share of one core the show took over `seconds` after its first picture; -1 when it
// did not come up.
double ShowCpuShare(const wchar_t* crossfade, int seconds) {
    SetValue(HKEY_CURRENT_USER, L"Crossfade", crossfade);
    const std::wstring program = Beside(L"Quorvanes.scr");
    const Started show = Start(L"\"" + program + L"\" /s");
    if (!show.process || MsUntil(show.at, CentreIsRed) < 0) {
        if (show.process) {
            ::TerminateProcess(show.process.get(), 1);
        }
        return -1;
    }
    // Past the first second, in which the show takes no input and starts its timer.
    std::this_thread::sleep_for(2s);
    const double cpuBefore = CpuMs(show.process.get(), program);
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu = CpuMs(show.process.get(), program) - cpuBefore;
    const double wall = MsSince(from);
    ::TerminateProcess(show.process.get(), 0);
    ::WaitForSingleObject(show.process.get(), 10000);
    return cpu / wall;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 60;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qv-show-cpu-bench";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring tessel = folder + L"\\Bench.tsl";
    WriteTessel(tessel);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    SetValue(HKEY_LOCAL_MACHINE, L"TesselsDir", folder);
    SetValue(HKEY_CURRENT_USER, L"CurrentTessel", L"Bench");
    SetValue(HKEY_CURRENT_USER, L"ViewTime", L"0");  // 5 seconds a picture
    SetValue(HKEY_CURRENT_USER, L"PictureSize", L"1");
    const double off = ShowCpuShare(L"0", seconds);
    const double on = ShowCpuShare(L"1", seconds);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    ::DeleteFileW(tessel.c_str());
    ::RemoveDirectoryW(folder.c_str());

    std::printf(
        "Quorvanes.scr /s, 5-second pictures of 1920 x 1080 fitted to a %d x %d monitor, "
        "%d s each\n",
        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), seconds);
    Verdict("the show's share of a core, crossfade off", off, 0.01);
    Verdict("the show's share of a core, crossfade on", on, 0.03);
    return 0;
}
