// advert.dll bound by name: LoadLibraryW with the bare name (the programs' start-up hardening
// keeps the current folder out of the search), then the sixteen exports with GetProcAddress.
// Every export uses the C calling convention; an export not found is never called.
#pragma once

#include <windows.h>

#include <array>

#include "adbanner/ad_library.h"
#include "base/win32/system_library.h"

namespace qv::adbanner::win32 {

class AdvertLibrary final : public AdLibrary {
  public:
    AdvertLibrary();  // binds; reports nothing (see ReportBindFailure)

    [[nodiscard]] bool Loaded() const override;
    [[nodiscard]] bool Has(AdExport which) const override;

    AdResult Startup(AdContext& context, std::int32_t programId, std::uint8_t sizeOrdinal,
                     std::uint32_t optionsWord) override;
    AdResult Paint(AdContext& context, std::uintptr_t dc) override;
    AdResult OnClick(AdContext& context) override;
    AdResult SetCallback(AdContext& context, AdBanner& control) override;
    AdResult SetNetworkCallback(AdContext& context, AdBanner& control) override;
    AdResult SetAdRecordedCallback(AdContext& context, AdBanner& control) override;
    AdResult SetBandwidthThrottle(AdContext& context, std::int32_t throttle) override;
    AdResult SetMinimumAdDisplayTime(AdContext& context, std::int32_t time) override;
    AdResult IsConnectOkay(AdContext& context, std::uint32_t& connected) override;
    AdResult SetNetworkState(AdContext& context, std::int32_t state) override;
    AdResult GetStatus(AdContext& context, std::uint32_t& status) override;
    AdResult Shutdown(AdContext& context) override;

  private:
    // The export as a function of this type; nullptr when it was not found.
    template <typename Function>
    [[nodiscard]] Function Export(AdExport which) const;

    winbase::SystemLibrary library_{winbase::Widen(kLibraryName)};
    std::array<winbase::AnyFunction, 16> exports_{};
};

}  // namespace qv::adbanner::win32
