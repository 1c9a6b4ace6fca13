#include "adbanner/win32/advert_library.h"

#include <string>

#include "adbanner/ad_banner.h"
#include "platform/win32/wide.h"

namespace qv::adbanner::win32 {

namespace {

// The library's view of the calls: every argument one machine word, the caller cleans up.
using Word = std::uintptr_t;
using Callback = void(__cdecl*)(void* user);
using ContextCall = std::uint32_t(__cdecl*)(AdContext*);
using ValueCall = std::uint32_t(__cdecl*)(AdContext*, Word);
using OutCall = std::uint32_t(__cdecl*)(AdContext*, std::uint32_t*, Word);
using StartupCall = std::uint32_t(__cdecl*)(AdContext*, HMODULE, Word, Word, Word, Word);
using PaintCall = std::uint32_t(__cdecl*)(AdContext*, Word, Word, Word);
using CallbackCall = std::uint32_t(__cdecl*)(AdContext*, Callback, void*);
using IsConnectCall = std::uint32_t(__cdecl*)(AdContext*, std::uint32_t*);

// The library calls back on any of its threads: nothing may unwind into it.
template <void (AdBanner::*Member)()>
void __cdecl Relay(void* user) noexcept {
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
    const std::wstring name = platform::win32::Widen(kLibraryName);
    library_.reset(::LoadLibraryW(name.c_str()));
    if (!library_) {
        return;
    }
    for (std::size_t k = 0; k < exports_.size(); ++k) {
        const std::string exportName(kExportNames[k]);
        exports_[k] = ::GetProcAddress(library_.get(), exportName.c_str());
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
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(exports_[static_cast<std::size_t>(which)]));
}

AdResult AdvertLibrary::Startup(AdContext& context, std::int32_t programId,
                                std::uint8_t sizeOrdinal, std::uint32_t optionsWord) {
    const auto call = Export<StartupCall>(AdExport::Startup);
    if (call == nullptr) {
        return std::nullopt;
    }
    return call(&context, library_.get(), 0, AsWord(programId), sizeOrdinal, optionsWord);
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
    const auto call = Export<OutCall>(AdExport::GetStatus);
    return call != nullptr ? AdResult(call(&context, &status, 0)) : std::nullopt;
}

AdResult AdvertLibrary::Shutdown(AdContext& context) {
    const auto call = Export<ContextCall>(AdExport::Shutdown);
    return call != nullptr ? AdResult(call(&context)) : std::nullopt;
}

}  // namespace qv::adbanner::win32
