// The banner control's rules (TAdImage): its properties, the start of the advertising
// library, painting and clicks, the bounds-to-format rule and the library's callbacks. The
// window around it (adbanner/win32/ad_image.h) supplies the surface and the buffer.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>

#include "adbanner/ad_library.h"
#include "platform/ports.h"

namespace qv::adbanner {

// The banner control's window class, by which the settings window's table names it.
inline constexpr wchar_t kAdImageClass[] = L"QuorvanesAdImage";

// The banner formats, in the order of their ordinals (what the library receives).
enum class AdImageSize : std::uint8_t {
    ads150x40,
    ADS468x60,
    ads300x50,
    ads70x70,
    ads50x200,
    ADS392x72,
    ADS234x60,
    ADS125x125,
    ADS120x90,
    ADS120x60,
    ADS88x31,
    ADS120x240,
};

struct Extent {
    int width = 0;
    int height = 0;
    bool operator==(const Extent&) const = default;
};

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds&) const = default;
};

[[nodiscard]] Extent ExtentOf(AdImageSize size);
// The format the control takes for bounds of this width and height.
[[nodiscard]] AdImageSize FormatFor(int width, int height);

// A set of the members of an enumeration with at most 32 members.
template <typename Member>
class MemberSet {
  public:
    MemberSet() = default;
    MemberSet(std::initializer_list<Member> members) {
        for (const Member m : members) {
            bits_.set(static_cast<std::size_t>(m));
        }
    }
    [[nodiscard]] bool Has(Member m) const { return bits_.test(static_cast<std::size_t>(m)); }
    void Add(Member m) { bits_.set(static_cast<std::size_t>(m)); }
    [[nodiscard]] bool Empty() const { return bits_.none(); }
    bool operator==(const MemberSet&) const = default;

  private:
    std::bitset<32> bits_;
};

enum class AdOption : std::uint8_t { adoNoConnect, adoNoDialOnDemand, adoDelayedStartup, adoAll };
using AdOptions = MemberSet<AdOption>;

enum class AdStatus : std::uint8_t {
    adiWinsockStarted,
    adiNetworkIsUp,
    adiConnectHasFailed,
    adiConnectHasWorked,
    adiProxyHasFailed,
    adiProxyHasWorked,
    adiClickHasFailed,
    adiClickHasWorked,
    adiIdle,
    adiConnecting,
    adiWorking,
};
using AdStatusSet = MemberSet<AdStatus>;

// The options word the library receives, and the set read back from a word.
[[nodiscard]] std::uint32_t OptionsWord(const AdOptions& options);
[[nodiscard]] AdOptions OptionsOf(std::uint32_t word);
// The library's status word as the set; bits without a member are ignored.
[[nodiscard]] AdStatusSet StatusOf(std::uint32_t word);
// A tested result counts by its low 16 bits; non-zero is success. A call not made (the
// export was not found) is a failure.
[[nodiscard]] bool Succeeded(const AdResult& result);

// The message boxes of a library that did not bind by name: "Couldn't load advert.dll" when
// the library is missing, then "Couldn't find address of <export>" for each export not found,
// in the order of binding; each a box without owner titled "Assertion Failed".
void ReportBindFailure(const AdLibrary& library, platform::Dialogs& dialogs);

// What the control's window does for the rules.
class AdSurface {
  public:
    virtual ~AdSurface() = default;
    virtual void Invalidate() = 0;  // repaint soon; safe from any thread
    virtual void RepaintNow() = 0;
    virtual void Place(const Bounds& bounds) = 0;  // the window takes these bounds
};

class AdBanner {
  public:
    using Event = std::function<void(AdBanner& sender)>;

    AdBanner(AdLibrary& library, AdSurface& surface);
    ~AdBanner();  // _Shutdown when started
    AdBanner(const AdBanner&) = delete;
    AdBanner& operator=(const AdBanner&) = delete;

    // After the properties were applied: starts the library when AutoLoad is set.
    void Loaded();
    // _Startup, then the three callbacks, the throttle and the display time, stopping at the
    // first failure; a repaint once _Startup succeeded. True when all six calls succeeded.
    bool Start();
    // _Paint into the buffer `dc` (when the export was found).
    void PaintInto(std::uintptr_t dc);
    // OnClick, then _OnClick.
    void Click();
    // The control takes the bounds, then the format they give, which sets width and height.
    void SetBounds(const Bounds& bounds);

    [[nodiscard]] bool AutoLoad() const { return autoLoad_; }
    void SetAutoLoad(bool on) { autoLoad_ = on; }
    [[nodiscard]] AdImageSize Size() const { return size_; }
    void SetSize(AdImageSize size);  // width and height from the format, left and top kept
    [[nodiscard]] std::int32_t ProgramID() const { return programId_; }
    void SetProgramID(std::int32_t id) { programId_ = id; }
    [[nodiscard]] AdOptions Options() const { return OptionsOf(optionsWord_); }
    void SetOptions(const AdOptions& options) { optionsWord_ = OptionsWord(options); }
    [[nodiscard]] std::int32_t MinimumAdDisplayTime() const { return minimumAdDisplayTime_; }
    void SetMinimumAdDisplayTime(std::int32_t time);
    [[nodiscard]] std::int32_t BandwidthThrottle() const { return bandwidthThrottle_; }
    void SetBandwidthThrottle(std::int32_t throttle);
    [[nodiscard]] bool NetworkIsUp();
    void SetNetworkIsUp(bool up);
    [[nodiscard]] AdStatusSet Status();
    [[nodiscard]] bool Started() const { return started_; }
    [[nodiscard]] const Bounds& bounds() const { return bounds_; }

    Event OnClick;
    Event OnNetworkRequest;
    Event OnAdCounted;

    // The library's callbacks, on whichever thread it calls them.
    void InvalidateCallback();
    void NetworkCallback();
    void AdCountedCallback();

  private:
    AdLibrary& library_;
    AdSurface& surface_;
    bool autoLoad_ = true;
    AdImageSize size_ = AdImageSize::ADS468x60;
    std::int32_t programId_ = 0;
    std::uint32_t optionsWord_ = 0;
    std::int32_t minimumAdDisplayTime_ = 0;
    std::int32_t bandwidthThrottle_ = std::numeric_limits<std::int32_t>::max();
    AdContext context_;
    bool started_ = false;
    std::uint32_t adSlot_ = 0;  // the library's, through the context; never read here
    Bounds bounds_{0, 0, 468, 60};
};

}  // namespace qv::adbanner
