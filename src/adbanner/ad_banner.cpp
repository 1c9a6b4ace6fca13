#include "adbanner/ad_banner.h"

#include <array>
#include <string>

namespace qv::adbanner {

namespace {

constexpr std::array<Extent, 12> kExtents = {{
    {150, 40},
    {468, 60},
    {300, 50},
    {70, 70},
    {50, 200},
    {392, 72},
    {234, 60},
    {125, 125},
    {120, 90},
    {120, 60},
    {88, 31},
    {120, 240},
}};

constexpr std::array<std::uint32_t, 3> kOptionBits = {0x1, 0x2, 0x4};
constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;

using abi::kStatusBits;

constexpr char kBindFailureCaption[] = "Assertion Failed";

// The network state as the library takes it: -1 up, 0 down.
constexpr std::int32_t kNetworkUp = -1;
constexpr std::int32_t kNetworkDown = 0;

void Raise(const AdBanner::Event& event, AdBanner& sender) {
    if (event) {
        event(sender);
    }
}

}  // namespace

Extent ExtentOf(AdImageSize size) {
    return kExtents.at(static_cast<std::size_t>(size));
}

AdImageSize FormatFor(int width, int height) {
    if (width < 60) {
        return AdImageSize::ads50x200;
    }
    if (width < 79) {
        return AdImageSize::ads70x70;
    }
    if (width < 104) {
        return AdImageSize::ADS88x31;
    }
    if (width < 135) {
        if (height < 75) {
            return AdImageSize::ADS120x60;
        }
        if (height < 108) {
            return AdImageSize::ADS120x90;
        }
        return height < 182 ? AdImageSize::ADS125x125 : AdImageSize::ADS120x240;
    }
    if (width < 192) {
        return AdImageSize::ads150x40;
    }
    if (width < 267) {
        return AdImageSize::ADS234x60;
    }
    if (width < 346) {
        return AdImageSize::ads300x50;
    }
    return width < 430 ? AdImageSize::ADS392x72 : AdImageSize::ADS468x60;
}

std::uint32_t OptionsWord(const AdOptions& options) {
    if (options.Has(AdOption::adoAll)) {
        return kAllBits;
    }
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < kOptionBits.size(); ++k) {
        if (options.Has(static_cast<AdOption>(k))) {
            word |= kOptionBits[k];
        }
    }
    return word;
}

AdOptions OptionsOf(std::uint32_t word) {
    AdOptions options;
    for (std::size_t k = 0; k < kOptionBits.size(); ++k) {
        if ((word & kOptionBits[k]) != 0) {
            options.Add(static_cast<AdOption>(k));
        }
    }
    if (word == kAllBits) {
        options.Add(AdOption::adoAll);
    }
    return options;
}

AdStatusSet StatusOf(std::uint32_t word) {
    AdStatusSet status;
    for (std::size_t k = 0; k < kStatusBits.size(); ++k) {
        if ((word & kStatusBits[k]) != 0) {
            status.Add(static_cast<AdStatus>(k));
        }
    }
    return status;
}

bool Succeeded(const AdResult& result) {
    return result.has_value() && (*result & 0xFFFFu) != 0;
}

void ReportBindFailure(const AdLibrary& library, platform::Dialogs& dialogs) {
    const auto report = [&dialogs](std::string text) {
        platform::MessageBoxRequest box;
        box.text = std::move(text);
        box.caption = kBindFailureCaption;
        dialogs.Show(box);
    };
    if (!library.Loaded()) {
        report("Couldn't load " + std::string(kLibraryName));
    }
    for (std::size_t k = 0; k < kExportNames.size(); ++k) {
        if (!library.Has(static_cast<AdExport>(k))) {
            report("Couldn't find address of " + std::string(kExportNames[k]));
        }
    }
}

AdBanner::AdBanner(AdLibrary& library, AdSurface& surface) : library_(library), surface_(surface) {
    context_.slot = reinterpret_cast<std::uintptr_t>(&adSlot_);
}

AdBanner::~AdBanner() {
    if (started_) {
        library_.Shutdown(context_);
    }
}

void AdBanner::Loaded() {
    if (autoLoad_) {
        Start();
    }
}

bool AdBanner::Start() {
    if (!Succeeded(library_.Startup(context_, programId_, static_cast<std::uint8_t>(size_),
                                    optionsWord_))) {
        return false;
    }
    started_ = true;
    // Each step runs only when every one before it succeeded.
    const bool all = Succeeded(library_.SetCallback(context_, *this)) &&
                     Succeeded(library_.SetNetworkCallback(context_, *this)) &&
                     Succeeded(library_.SetAdRecordedCallback(context_, *this)) &&
                     Succeeded(library_.SetBandwidthThrottle(context_, bandwidthThrottle_)) &&
                     Succeeded(library_.SetMinimumAdDisplayTime(context_, minimumAdDisplayTime_));
    surface_.RepaintNow();
    return all;
}

void AdBanner::PaintInto(std::uintptr_t dc) {
    library_.Paint(context_, dc);  // the result means nothing; the banner is in the buffer
}

void AdBanner::Click() {
    Raise(OnClick, *this);
    library_.OnClick(context_);
}

void AdBanner::SetBounds(const Bounds& bounds) {
    bounds_ = bounds;
    SetSize(FormatFor(bounds.width, bounds.height));
}

void AdBanner::SetSize(AdImageSize size) {
    size_ = size;
    const Extent extent = ExtentOf(size);
    bounds_.width = extent.width;
    bounds_.height = extent.height;
    surface_.Place(bounds_);
}

void AdBanner::SetMinimumAdDisplayTime(std::int32_t time) {
    minimumAdDisplayTime_ = time;
    if (started_) {
        library_.SetMinimumAdDisplayTime(context_, time);
    }
}

void AdBanner::SetBandwidthThrottle(std::int32_t throttle) {
    bandwidthThrottle_ = throttle;
    if (started_) {
        library_.SetBandwidthThrottle(context_, throttle);
    }
}

bool AdBanner::NetworkIsUp() {
    if (!started_) {
        return false;
    }
    std::uint32_t connected = 0;
    return Succeeded(library_.IsConnectOkay(context_, connected)) && connected != 0;
}

void AdBanner::SetNetworkIsUp(bool up) {
    if (started_) {
        library_.SetNetworkState(context_, up ? kNetworkUp : kNetworkDown);
    }
}

AdStatusSet AdBanner::Status() {
    std::uint32_t word = 0;
    if (!library_.GetStatus(context_, word).has_value()) {
        return {};
    }
    return StatusOf(word);
}

void AdBanner::InvalidateCallback() {
    surface_.Invalidate();
}

void AdBanner::NetworkCallback() {
    SetNetworkIsUp(Status().Has(AdStatus::adiNetworkIsUp));
    Raise(OnNetworkRequest, *this);
}

void AdBanner::AdCountedCallback() {
    Raise(OnAdCounted, *this);
}

}  // namespace qv::adbanner
