// How quickly the real saver host comes up and answers, under Wine or on Windows, as ratios
// measured in one run:
// - process start to the show's window on the screen, and to its first picture, each
//   against the start of a bare Win32 window program (bare_window.exe) timed the same way;
// - a key to the show's window gone from the screen while a picture at the decoder's caps
//   decodes, against the same at rest;
// - the decode of the largest picture the decoder takes against the shortest interval
//   between pictures that the settings allow (ViewTime 1: six seconds).
// It also prints where the show's start goes: the median time from the process's creation to
// each step the saver host marks when QV_START_TRACE names a file (saver/win32/start_trace.h).
// Uses (and then removes) the configuration of the current user: run it on a test prefix.
//   show_response_bench.exe [RUNS]               RUNS paired starts, 7 at least (the default)
//   show_response_bench.exe --fitted RUNS       the start to the first picture filling the
//                                                monitor against the same at its own size
//   show_response_bench.exe --start-only RUNS   prints only "show-window-ms MEDIAN": the start
//                                                to the show's window, on the current monitors
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/win32/unique_handle.h"
#include "imaging/jpeg_decoder.h"
#include "pe/pe_writer.h"
#include "test_jpegs.h"
#include "win32_bench_support.h"

namespace {

using namespace std::chrono_literals;
using namespace qv::bench;

constexpr std::array<std::uint8_t, 3> kRed{220, 30, 30};
constexpr double kShortestIntervalMs = 6000;
// Just under the decoder's caps of 40 million pixels, progressive: its slowest kind.
constexpr int kCapsWidth = 6400;
constexpr int kCapsHeight = 6000;
// Each program is started on a settled system. The bare program leaves its window to the
// system when it ends; tearing that down, and repainting the desktop beneath it, goes on
// after its process has ended, and a start in that time pays for it (about 20 ms here).
constexpr auto kSettle = 500ms;
constexpr int kLeastRuns = 7;

void WriteTessel(const std::wstring& path, const std::vector<std::vector<std::uint8_t>>& jpegs) {
    qv::pe::ResourceLibraryLayout layout;
    for (std::size_t i = 0; i < jpegs.size(); ++i) {
        layout.rcdata.push_back({"PICTURE" + std::to_string(1000 + i) + "JPEG", jpegs[i]});
    }
    WriteFileBytes(path, qv::pe::WriteResourceLibrary(layout));
}

// A key to the window, and the time until the window has left the screen. The process
// ends a little later; under Wine without a window manager, its X window's withdrawal is
// waited for up to two seconds in the system's DestroyWindow, which is no time of ours.
double KeyToGoneMs(const Started& show, HWND window) {
    const auto at = Clock::now();
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    const double gone = MsUntil(at, [&] { return !::IsWindowVisible(window); });
    ::WaitForSingleObject(show.process.get(), 60000);
    return gone;
}

// The steps of one start as the saver host wrote them: "step milliseconds" a line.
std::vector<std::pair<std::string, double>> ReadSteps(const std::wstring& trace) {
    std::vector<std::pair<std::string, double>> steps;
    FILE* file = _wfopen(trace.c_str(), L"rb");
    if (file == nullptr) {
        return steps;
    }
    char name[64] = {};
    double ms = 0;
    while (std::fscanf(file, "%63s %lf", name, &ms) == 2) {
        steps.emplace_back(name, ms);
    }
    std::fclose(file);
    return steps;
}

using Steps = std::vector<std::pair<std::string, double>>;

// A step's median over the runs that marked it; a negative number when none did.
double MedianOfStep(const std::vector<Steps>& runs, const std::string& step) {
    std::vector<double> times;
    for (const auto& run : runs) {
        for (const auto& [name, ms] : run) {
            if (name == step) {
                times.push_back(ms);
            }
        }
    }
    return times.empty() ? -1 : Median(times);
}

// Each step's median over the runs, in the order of the first run, beside the bare window
// program's same step where it has one.
void PrintSteps(const std::vector<Steps>& runs, const std::vector<Steps>& bareRuns,
                const char* label = "show", const char* besideLabel = "bare window") {
    if (runs.empty()) {
        return;
    }
    std::printf("  the start's steps, from the process's creation (medians):\n");
    std::printf("    %-16s %9s %9s %11s\n", "step", label, "(+step)", besideLabel);
    double before = 0;
    for (const auto& [step, ignored] : runs.front()) {
        const double at = MedianOfStep(runs, step);
        const double bare = MedianOfStep(bareRuns, step);
        char bareText[32] = "";
        if (bare >= 0) {
            std::snprintf(bareText, sizeof(bareText), "%.1f ms", bare);
        }
        std::printf("    %-16s %6.1f ms %+8.1f %11s\n", step.c_str(), at, at - before, bareText);
        before = at;
    }
}

// One start of the show to its first picture (red) on the screen, traced; the key ends it.
double StartToPicture(const std::wstring& saver, const std::wstring& trace, Steps& steps) {
    std::this_thread::sleep_for(kSettle);
    MsUntil(Clock::now(), [] { return !CentreIsRed(); });
    ::DeleteFileW(trace.c_str());
    ::SetEnvironmentVariableW(L"QV_START_TRACE", trace.c_str());
    const Started show = Start(saver);
    ::SetEnvironmentVariableW(L"QV_START_TRACE", nullptr);
    const double ms = MsUntil(show.at, CentreIsRed);
    HWND window = nullptr;
    MsUntil(show.at, [&] { return (window = VisibleWindowOf(show.pid, L"QuorvanesShow")); });
    (void)KeyToGoneMs(show, window);
    steps = ReadSteps(trace);
    return ms;
}

// The start to the first picture filling the monitor (PictureSize "1") against the same
// start at the picture's own size, in turns, on the monitors there are (a 3840 x 2160 one
// in scripts/bench.sh).
int CompareFittedStart(const std::wstring& saver, const std::wstring& trace, int runs) {
    std::vector<double> own, fitted, ratios;
    std::vector<Steps> ownSteps, fittedSteps;
    for (int run = 0; run < runs; ++run) {
        Steps steps;
        SetValue(HKEY_CURRENT_USER, L"PictureSize", L"0");
        own.push_back(StartToPicture(saver, trace, steps));
        ownSteps.push_back(steps);
        SetValue(HKEY_CURRENT_USER, L"PictureSize", L"1");
        fitted.push_back(StartToPicture(saver, trace, steps));
        fittedSteps.push_back(steps);
        ratios.push_back(fitted.back() / own.back());
    }
    std::printf(
        "Quorvanes.scr /s on a %d x %d monitor, one 640 x 480 picture, medians of %d runs:\n",
        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), runs);
    std::printf("  first picture at its own size %.1f ms, filling the monitor %.1f ms\n",
                Median(own), Median(fitted));
    PrintSteps(fittedSteps, ownSteps, "fitted", "own size");
    Verdict("first fitted picture / first picture at own size", Median(ratios), 1.15);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool startOnly = argc > 2 && std::string(argv[1]) == "--start-only";
    const bool fittedStart = argc > 2 && std::string(argv[1]) == "--fitted";
    // The ratios are medians of paired runs: fewer than seven swing with the machine.
    const int runs =
        std::max(startOnly ? 1 : kLeastRuns, std::atoi(argc > 1 ? argv[startOnly ? 2 : 1] : "7"));
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qv-show-response-bench";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring tessel = folder + L"\\Bench.tsl";
    const auto red = qv::testing::MakeJpeg({.width = 640, .height = 480, .solid = kRed});
    const auto caps = qv::testing::MakeJpeg(
        {.width = kCapsWidth, .height = kCapsHeight, .progressive = true, .smooth = true});

    // The worst picture the show accepts, decoded here: against the shortest interval.
    std::vector<double> decodes;
    qv::imaging::Frame frame;
    for (int i = 0; i < 3; ++i) {
        const auto at = Clock::now();
        if (qv::imaging::DecodeJpeg(caps, frame) != qv::imaging::DecodeStatus::Ok) {
            std::fprintf(stderr, "the caps picture did not decode\n");
            return 1;
        }
        decodes.push_back(MsSince(at));
    }
    const double capsMs = Median(decodes);

    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    SetValue(HKEY_LOCAL_MACHINE, L"TesselsDir", folder);
    SetValue(HKEY_CURRENT_USER, L"CurrentTessel", L"Bench");
    SetValue(HKEY_CURRENT_USER, L"ViewTime", L"-4");  // a picture a second, the least
    const std::wstring saver = L"\"" + Beside(L"Quorvanes.scr") + L"\" /s";
    const std::wstring trace = folder + L"\\start-trace.txt";
    const std::wstring bareTrace = folder + L"\\bare-trace.txt";
    std::vector<std::vector<std::pair<std::string, double>>> steps, bareSteps;

    if (fittedStart) {
        WriteTessel(tessel, {red});
        const int result = CompareFittedStart(saver, trace, runs);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
        ::DeleteFileW(tessel.c_str());
        ::DeleteFileW(trace.c_str());
        ::RemoveDirectoryW(folder.c_str());
        return result;
    }
    if (startOnly) {
        WriteTessel(tessel, {red});
        std::vector<double> starts;
        for (int run = 0; run < runs; ++run) {
            std::this_thread::sleep_for(kSettle);
            const Started show = Start(saver);
            HWND showWindow = nullptr;
            starts.push_back(MsUntil(show.at, [&] {
                return (showWindow = VisibleWindowOf(show.pid, L"QuorvanesShow"));
            }));
            (void)KeyToGoneMs(show, showWindow);
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
        ::DeleteFileW(tessel.c_str());
        ::RemoveDirectoryW(folder.c_str());
        std::printf("show-window-ms %.1f monitors %d\n", Median(starts),
                    ::GetSystemMetrics(SM_CMONITORS));
        return 0;
    }

    std::vector<double> bare, barePainted, bareGone, window, picture, atRest, whileDecoding;
    for (int run = 0; run < runs; ++run) {
        std::this_thread::sleep_for(kSettle);
        ::DeleteFileW(bareTrace.c_str());
        ::SetEnvironmentVariableW(L"QV_START_TRACE", bareTrace.c_str());
        const Started yardstick = Start(L"\"" + Beside(L"bare_window.exe") + L"\"");
        ::SetEnvironmentVariableW(L"QV_START_TRACE", nullptr);
        HWND bareWindow = nullptr;
        bare.push_back(MsUntil(yardstick.at, [&] {
            return (bareWindow = VisibleWindowOf(yardstick.pid, L"QuorvanesBareWindow"));
        }));
        barePainted.push_back(MsUntil(yardstick.at, CentreIsRed));
        bareGone.push_back(KeyToGoneMs(yardstick, bareWindow));
        bareSteps.push_back(ReadSteps(bareTrace));

        // At rest: the one small picture, shown again and again; started once the bare
        // program's red has left the screen.
        WriteTessel(tessel, {red});
        std::this_thread::sleep_for(kSettle);
        MsUntil(Clock::now(), [] { return !CentreIsRed(); });
        ::DeleteFileW(trace.c_str());
        ::SetEnvironmentVariableW(L"QV_START_TRACE", trace.c_str());
        Started show = Start(saver);
        ::SetEnvironmentVariableW(L"QV_START_TRACE", nullptr);
        HWND showWindow = nullptr;
        window.push_back(MsUntil(
            show.at, [&] { return (showWindow = VisibleWindowOf(show.pid, L"QuorvanesShow")); }));
        picture.push_back(MsUntil(show.at, CentreIsRed));
        std::this_thread::sleep_for(300ms);
        atRest.push_back(KeyToGoneMs(show, showWindow));
        steps.push_back(ReadSteps(trace));

        // While the large pictures decode, one after the other from the second second on.
        WriteTessel(tessel, {red, caps, caps, caps});
        show = Start(saver);
        MsUntil(show.at,
                [&] { return (showWindow = VisibleWindowOf(show.pid, L"QuorvanesShow")); });
        MsUntil(show.at, CentreIsRed);
        std::this_thread::sleep_for(2000ms +
                                    std::chrono::milliseconds(static_cast<int>(capsMs / 3)));
        whileDecoding.push_back(KeyToGoneMs(show, showWindow));
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvanes");
    ::DeleteFileW(tessel.c_str());
    ::DeleteFileW(trace.c_str());
    ::DeleteFileW(bareTrace.c_str());
    ::RemoveDirectoryW(folder.c_str());

    const double bareMs = Median(bare);
    std::printf("Quorvanes.scr /s, medians of %d runs:\n", runs);
    std::printf(
        "  bare window program on the screen %.1f ms, its red there %.1f ms; the show's window "
        "%.1f ms, its first picture %.1f ms\n",
        bareMs, Median(barePainted), Median(window), Median(picture));
    std::printf(
        "  key to the window gone: bare window program %.1f ms, the show at rest %.1f ms, "
        "while a %d x %d picture decodes %.1f ms\n",
        Median(bareGone), Median(atRest), kCapsWidth, kCapsHeight, Median(whileDecoding));
    std::printf("  decode of that picture %.1f ms\n", capsMs);
    PrintSteps(steps, bareSteps);
    // Each run's own ratio, then their median: a start of each program, one after the other,
    // meet the same state of a shared machine, which drifts over a whole run.
    std::vector<double> windowRatios, pictureRatios;
    for (std::size_t i = 0; i < bare.size(); ++i) {
        windowRatios.push_back(window[i] / bare[i]);
        pictureRatios.push_back(picture[i] / barePainted[i]);
    }
    // The show does, before its window, what the bare program does (one class, one window)
    // and one hidden window more (the owner without a taskbar button); before its picture,
    // one decode more. That is the limit, with a little room for the machine's swing. Each
    // picture is timed to its pixels on the screen, the show's and the bare program's alike:
    // the system's copy of a window's pixels to the screen is no time of the show's.
    Verdict("show's window on screen / bare window program", Median(windowRatios), 1.05);
    Verdict("first picture on screen / bare window's red there", Median(pictureRatios), 1.15);
    Verdict("key to the window gone while decoding / 50 ms", Median(whileDecoding) / 50.0, 1.0);
    Verdict("largest picture's decode / shortest interval (6 s)", capsMs / kShortestIntervalMs,
            0.25);
    return 0;
}
