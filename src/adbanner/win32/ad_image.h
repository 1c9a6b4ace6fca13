// The banner control AdImage1 of the settings window: a child window of the kit around the
// banner's rules, with the off-screen buffer the advertising library paints into. Its
// bounds always follow the formats: any MoveWindow or SetWindowPos on it is held to the
// format its width and height give.
#pragma once

#include <windows.h>

#include <atomic>
#include <limits>
#include <memory>
#include <optional>

#include "adbanner/ad_banner.h"
#include "adbanner/win32/advert_library.h"
#include "base/win32/unique_handle.h"
#include "platform/ports.h"
#include "ui/win32/click.h"
#include "ui/win32/window.h"

namespace qv::adbanner::win32 {

// What the form sets on the control before it is loaded. The events are given here since the
// library may call back on its own thread as soon as it is started.
struct AdImageProperties {
    std::int32_t programId = 0;
    AdImageSize size = AdImageSize::ADS468x60;
    AdOptions options;
    std::int32_t bandwidthThrottle = std::numeric_limits<std::int32_t>::max();
    std::int32_t minimumAdDisplayTime = 0;
    bool autoLoad = true;
    AdBanner::Event onClick;
    AdBanner::Event onNetworkRequest;
    AdBanner::Event onAdCounted;
};

class AdImage final : public ui::win32::Window, private AdSurface {
  public:
    // The binding's failures are reported through `dialogs`.
    explicit AdImage(platform::Dialogs& dialogs);
    ~AdImage() override;  // the window, then _Shutdown when started, then the library

    // Binds advert.dll (reporting what is missing), takes the properties, creates the
    // control at (0, 0) in `parent` and starts the library when AutoLoad is set. False when
    // the window could not be made.
    [[nodiscard]] bool Create(HINSTANCE instance, HWND parent, int controlId,
                              const AdImageProperties& properties = {});

    // The rules and the properties; valid after Create.
    [[nodiscard]] AdBanner& banner() { return *banner_; }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Invalidate() override;
    void RepaintNow() override;
    void Place(const Bounds& bounds) override;
    void Paint();
    void HoldToFormat(WINDOWPOS& position);

    platform::Dialogs& dialogs_;
    std::unique_ptr<AdvertLibrary> library_;
    std::unique_ptr<AdBanner> banner_;
    // The bitmap before the DC that holds it: the DC goes first.
    winbase::UniqueGdiObject buffer_;
    winbase::UniqueHdc bufferDc_;
    // The buffer in its DC, the DC's own bitmap put back before either goes.
    std::optional<winbase::ScopedSelect> bufferSelected_;
    Extent bufferExtent_;
    // The library invalidates from its own threads, also while the window goes.
    std::atomic<HWND> window_{nullptr};
    bool placing_ = false;  // the format's own bounds are not held to a format again
    ui::win32::ClickTracker click_;
};

// The banner as a child of a dialog made from its table (the row of kind Window with the
// banner's class): nullptr when its window could not be made.
[[nodiscard]] std::unique_ptr<AdImage> MakeAdImage(platform::Dialogs& dialogs, HINSTANCE instance,
                                                   HWND parent, int controlId,
                                                   const AdImageProperties& properties);

}  // namespace qv::adbanner::win32
