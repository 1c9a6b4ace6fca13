#include "saver/win32/start_trace.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "base/win32/unique_handle.h"

namespace qv::saver::win32 {

namespace {

struct Trace {
    std::wstring file;
    double entryMs = 0;  // from the process's creation to this object (at the first mark)
    LARGE_INTEGER entry{};
    LARGE_INTEGER frequency{};
    std::mutex lock;
    std::set<std::string, std::less<>> marked;

    Trace() {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"QV_START_TRACE", path, MAX_PATH);
        FILETIME creation{}, exit{}, kernel{}, user{};
        if (length == 0 || length >= MAX_PATH ||
            !::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
            return;
        }
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&entry);
        entryMs = static_cast<double>(Ticks(now) - Ticks(creation)) / 10000.0;
        file = path;
    }
    // Milliseconds since the process was created: the system's clock to the first mark,
    // the performance counter from there.
    [[nodiscard]] double Now() const {
        LARGE_INTEGER at{};
        ::QueryPerformanceCounter(&at);
        return entryMs + static_cast<double>(at.QuadPart - entry.QuadPart) * 1000.0 /
                             static_cast<double>(frequency.QuadPart);
    }
    static std::uint64_t Ticks(const FILETIME& time) {
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    }
    static Trace& Get() {
        static Trace trace;
        return trace;
    }
};

}  // namespace

void MarkStart(std::string_view step) noexcept {
    try {
        Trace& trace = Trace::Get();
        if (trace.file.empty()) {
            return;
        }
        const double ms = trace.Now();
        const std::lock_guard hold(trace.lock);
        if (!trace.marked.emplace(step).second) {
            return;  // the first time only
        }
        char line[96] = {};
        const int size = std::snprintf(line, sizeof(line), "%.*s %.2f\r\n",
                                       static_cast<int>(step.size()), step.data(), ms);
        const winbase::UniqueFile out(::CreateFileW(trace.file.c_str(), FILE_APPEND_DATA,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (out && size > 0) {
            (void)::WriteFile(out.get(), line, static_cast<DWORD>(size), &written, nullptr);
        }
    } catch (...) {
        // A bench's trace never ends the show.
    }
}

}  // namespace qv::saver::win32
