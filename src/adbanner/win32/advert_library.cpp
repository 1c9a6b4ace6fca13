#include "adbanner/win32/advert_library.h"

#include <string>

#include "adbanner/ad_banner.h"
#include "base/win32/wide.h"

namespace qv::adbanner::win32 {

namespace {

using abi::CallbackCall;
using abi::ContextCall;
using abi::IsConnectCall;
using abi::PaintCall;
using abi::StartupCall;
using abi::StatusCall;
using abi::ValueCall;
using abi::Word;

// The library calls back on any of its threads: nothing may unwind into it.
template <void (AdBanner::*Member)()>
void QV_ADVERT_CALL Relay(void* user) noexcept {
    try {
        (static_cast<AdBanner*>(user)->*Member)();
    } catch (...) {
        // A failed event handler must not take the library down; the banner goes on.
    }
}

// Signed values travel as their 32-bit pattern, as the library reads them.
Word AsWord(std::int32_t value) {
    return static_cast<Word>(static_cast<std::uint32_t>(value));
}

}  // namespace

AdvertLibrary::AdvertLibrary() {
    if (!library_) {
        return;
    }
    for (std::size_t k = 0; k < exports_.size(); ++k) {
        exports_[k] = library_.Find<winbase::AnyFunction>(std::string(kExportNames[k]).c_str());
    }
}

bool AdvertLibrary::Loaded() const {
    return static_cast<bool>(library_);
}

bool AdvertLibrary::Has(AdExport which) const {
    return exports_[static_cast<std::size_t>(which)] != nullptr;
}

template <typename Function>
Function AdvertLibrary::Export(AdExport which) const {
    return winbase::FunctionCast<Function>(exports_[static_cast<std::size_t>(which)]);
}

AdResult AdvertLibrary::Startup(AdContext& context, std::int32_t programId,
                                std::uint8_t sizeOrdinal, std::uint32_t optionsWord) {
    const auto call = Export<StartupCall>(AdExport::Startup);
    if (call == nullptr) {
        return std::nullopt;
    }
    return call(&context, reinterpret_cast<Word>(library_.Module()), 0, AsWord(programId),
                sizeOrdinal, optionsWord);
}

AdResult AdvertLibrary::Paint(AdContext& context, std::uintptr_t dc) {
    const auto call = Export<PaintCall>(AdExport::Paint);
    if (call == nullptr) {
        return std::nullopt;
    }
    return call(&context, dc, 0, 0);
}

AdResult AdvertLibrary::OnClick(AdContext& context) {
    const auto call = Export<ContextCall>(AdExport::OnClick);
    return call != nullptr ? AdResult(call(&context)) : std::nullopt;
}

AdResult AdvertLibrary::SetCallback(AdContext& context, AdBanner& control) {
    const auto call = Export<CallbackCall>(AdExport::SetCallback);
    if (call == nullptr) {
        return std::nullopt;
    }
    return call(&context, &Relay<&AdBanner::InvalidateCallback>, &control);
}

AdResult AdvertLibrary::SetNetworkCallback(AdContext& context, AdBanner& control) {
    const auto call = Export<CallbackCall>(AdExport::SetNetworkCallback);
    if (call == nullptr) {
        return std::nullopt;
    }
    return call(&context, &Relay<&AdBanner::NetworkCallback>, &control);
}

AdResult AdvertLibrary::SetAdRecordedCallback(AdContext& context, AdBanner& control) {
    const auto call = Export<CallbackCall>(AdExport::SetAdRecordedCallback);
    if (call == nullptr) {
        return std::nullopt;
    }
    return call(&context, &Relay<&AdBanner::AdCountedCallback>, &control);
}

AdResult AdvertLibrary::SetBandwidthThrottle(AdContext& context, std::int32_t throttle) {
    const auto call = Export<ValueCall>(AdExport::SetBandwidthThrottle);
    return call != nullptr ? AdResult(call(&context, AsWord(throttle))) : std::nullopt;
}

AdResult AdvertLibrary::SetMinimumAdDisplayTime(AdContext& context, std::int32_t time) {
    const auto call = Export<ValueCall>(AdExport::SetMinimumAdDisplayTime);
    return call != nullptr ? AdResult(call(&context, AsWord(time))) : std::nullopt;
}

AdResult AdvertLibrary::IsConnectOkay(AdContext& context, std::uint32_t& connected) {
    const auto call = Export<IsConnectCall>(AdExport::IsConnectOkay);
    return call != nullptr ? AdResult(call(&context, &connected)) : std::nullopt;
}

AdResult AdvertLibrary::SetNetworkState(AdContext& context, std::int32_t state) {
    const auto call = Export<ValueCall>(AdExport::SetNetworkState);
    return call != nullptr ? AdResult(call(&context, AsWord(state))) : std::nullopt;
}

AdResult AdvertLibrary::GetStatus(AdContext& context, std::uint32_t& status) {
    const auto call = Export<StatusCall>(AdExport::GetStatus);
    return call != nullptr ? AdResult(call(&context, &status, 0)) : std::nullopt;
}

AdResult AdvertLibrary::Shutdown(AdContext& context) {
    const auto call = Export<ContextCall>(AdExport::Shutdown);
    return call != nullptr ? AdResult(call(&context)) : std::nullopt;
}

}  // namespace qv::adbanner::win32
