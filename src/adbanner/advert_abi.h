// advert.dll's interface as the library exports it and the banner control calls it: the
// library's name, the sixteen export names, their signatures and the bits of the status word.
// The binding (adbanner/win32/advert_library.cpp) and the project's own library
// (tools/advert) both take them from here; the build writes the library's export table from
// kExportNames. No <windows.h>: handles travel as machine words.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#if !defined(_WIN32) || defined(_WIN64)
#define QV_ADVERT_CALL  // the one calling convention of the platform
#else
#define QV_ADVERT_CALL __cdecl  // the caller cleans up
#endif

namespace qv::adbanner::abi {

inline constexpr std::string_view kLibraryName = "advert.dll";

// The library's sixteen exports, in the order the control binds them.
enum class Export : std::uint8_t {
    Startup,
    Paint,
    OnClick,
    SetCallback,
    SetNetworkCallback,
    SetAdRecordedCallback,
    SetBandwidthThrottle,
    SetMinimumAdDisplayTime,
    IsConnectOkay,
    RetryConnect,
    SetNetworkState,
    SetProxy,
    GetStatus,
    UseDefaultAd,
    Shutdown,
    DebugTriggerEvent,
};

inline constexpr std::array<std::string_view, 16> kExportNames = {
    "_Startup",
    "_Paint",
    "_OnClick",
    "_SetCallback",
    "_SetNetworkCallback",
    "_SetAdRecordedCallback",
    "_SetBandwidthThrottle",
    "_SetMinimumAdDisplayTime",
    "_IsConnectOkay",
    "_RetryConnect",
    "_SetNetworkState",
    "_SetProxy",
    "_GetStatus",
    "_UseDefaultAd",
    "_Shutdown",
    "_debugTriggerEvent",
};

// Every argument is one machine word (32 bits in the deliverable build); signed values
// travel as their 32-bit pattern. The first argument is the caller's context record.
using Word = std::uintptr_t;
using Result = std::uint32_t;
using Callback = void(QV_ADVERT_CALL*)(void* user);

// Startup(context, the library's own module, 0, program id, image format, options word)
using StartupCall = Result(QV_ADVERT_CALL*)(void*, Word, Word, Word, Word, Word);
// Paint(context, the off-screen buffer's device context, 0, 0)
using PaintCall = Result(QV_ADVERT_CALL*)(void*, Word, Word, Word);
// OnClick, RetryConnect, SetProxy, UseDefaultAd, Shutdown
using ContextCall = Result(QV_ADVERT_CALL*)(void*);
// SetBandwidthThrottle, SetMinimumAdDisplayTime, SetNetworkState, debugTriggerEvent
using ValueCall = Result(QV_ADVERT_CALL*)(void*, Word);
// GetStatus(context, &status word, 0)
using StatusCall = Result(QV_ADVERT_CALL*)(void*, std::uint32_t*, Word);
// IsConnectOkay(context, &connected)
using IsConnectCall = Result(QV_ADVERT_CALL*)(void*, std::uint32_t*);
// SetCallback, SetNetworkCallback, SetAdRecordedCallback(context, callback, user data)
using CallbackCall = Result(QV_ADVERT_CALL*)(void*, Callback, void*);

// The status word's bits, in the order of the control's status members (adiWinsockStarted
// ... adiWorking).
inline constexpr std::array<std::uint32_t, 11> kStatusBits = {
    0x1, 0x2, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x1000, 0x2000, 0x4000,
};
inline constexpr std::uint32_t kStatusClickHasFailed = kStatusBits[6];
inline constexpr std::uint32_t kStatusClickHasWorked = kStatusBits[7];
inline constexpr std::uint32_t kStatusIdle = kStatusBits[8];

}  // namespace qv::adbanner::abi
