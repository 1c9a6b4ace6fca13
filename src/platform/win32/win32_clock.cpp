// The clock of the workers' sleeps.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace qv::platform::win32 {

std::int64_t Win32Clock::NowMs() {
    return static_cast<std::int64_t>(::GetTickCount64());
}

void Win32Clock::SleepMs(std::int64_t ms) {
    ::Sleep(static_cast<DWORD>(ms));
}

}  // namespace qv::platform::win32
