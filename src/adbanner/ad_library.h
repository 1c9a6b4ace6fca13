// The port through which the banner control reaches the advertising library advert.dll:
// one call per export the control uses, and what the binding found. The Win32 binding
// (adbanner/win32/advert_library.h) calls the library; the native tests use a fake.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "adbanner/advert_abi.h"

namespace qv::adbanner {

class AdBanner;

using AdExport = abi::Export;
using abi::kExportNames;
using abi::kLibraryName;

// The record whose address is the first argument of every call: the address of the
// control's slot, which the library may use, then 0. An address is pointer-wide, which is
// 32 bits in the deliverable build.
struct AdContext {
    std::uintptr_t slot = 0;
    std::uint32_t reserved = 0;
};

// A call's raw result; nullopt when the export was not found, so it was not called. Only the
// control decides what a result means.
using AdResult = std::optional<std::uint32_t>;

class AdLibrary {
  public:
    virtual ~AdLibrary() = default;

    // What binding by name found: the library, and each export.
    [[nodiscard]] virtual bool Loaded() const = 0;
    [[nodiscard]] virtual bool Has(AdExport which) const = 0;

    // The binding adds the library's own module handle and 0 before `programId`.
    virtual AdResult Startup(AdContext& context, std::int32_t programId, std::uint8_t sizeOrdinal,
                             std::uint32_t optionsWord) = 0;
    // `dc` is the device context of the off-screen buffer, as a number.
    virtual AdResult Paint(AdContext& context, std::uintptr_t dc) = 0;
    virtual AdResult OnClick(AdContext& context) = 0;
    // Each registers the control's callback of that kind with `control` as the user data;
    // the library's calls come back to AdBanner's callback members.
    virtual AdResult SetCallback(AdContext& context, AdBanner& control) = 0;
    virtual AdResult SetNetworkCallback(AdContext& context, AdBanner& control) = 0;
    virtual AdResult SetAdRecordedCallback(AdContext& context, AdBanner& control) = 0;
    virtual AdResult SetBandwidthThrottle(AdContext& context, std::int32_t throttle) = 0;
    virtual AdResult SetMinimumAdDisplayTime(AdContext& context, std::int32_t time) = 0;
    virtual AdResult IsConnectOkay(AdContext& context, std::uint32_t& connected) = 0;
    virtual AdResult SetNetworkState(AdContext& context, std::int32_t state) = 0;
    virtual AdResult GetStatus(AdContext& context, std::uint32_t& status) = 0;
    virtual AdResult Shutdown(AdContext& context) = 0;
};

}  // namespace qv::adbanner
