#include "adbanner/ad_banner.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace qv::adbanner {
namespace {

// The advertising library as the tests want it: every call recorded as "name arguments",
// every export found and succeeding unless a test says otherwise.
class FakeLibrary final : public AdLibrary {
  public:
    bool loaded = true;
    std::map<AdExport, bool> missing;
    std::map<AdExport, std::uint32_t> results;  // 1 when not given
    std::uint32_t connected = 1;
    std::uint32_t statusWord = 0;
    std::vector<std::string> calls;
    std::vector<const AdContext*> contexts;
    AdBanner* registered = nullptr;

    bool Loaded() const override { return loaded; }
    bool Has(AdExport which) const override { return loaded && !missing.contains(which); }

    AdResult Startup(AdContext& c, std::int32_t id, std::uint8_t size,
                     std::uint32_t options) override {
        return Record(c, AdExport::Startup,
                      "_Startup " + std::to_string(id) + " " + std::to_string(size) + " " +
                          std::to_string(options));
    }
    AdResult Paint(AdContext& c, std::uintptr_t dc) override {
        return Record(c, AdExport::Paint, "_Paint " + std::to_string(dc));
    }
    AdResult OnClick(AdContext& c) override { return Record(c, AdExport::OnClick, "_OnClick"); }
    AdResult SetCallback(AdContext& c, AdBanner& control) override {
        registered = &control;
        return Record(c, AdExport::SetCallback, "_SetCallback");
    }
    AdResult SetNetworkCallback(AdContext& c, AdBanner&) override {
        return Record(c, AdExport::SetNetworkCallback, "_SetNetworkCallback");
    }
    AdResult SetAdRecordedCallback(AdContext& c, AdBanner&) override {
        return Record(c, AdExport::SetAdRecordedCallback, "_SetAdRecordedCallback");
    }
    AdResult SetBandwidthThrottle(AdContext& c, std::int32_t value) override {
        return Record(c, AdExport::SetBandwidthThrottle,
                      "_SetBandwidthThrottle " + std::to_string(value));
    }
    AdResult SetMinimumAdDisplayTime(AdContext& c, std::int32_t value) override {
        return Record(c, AdExport::SetMinimumAdDisplayTime,
                      "_SetMinimumAdDisplayTime " + std::to_string(value));
    }
    AdResult IsConnectOkay(AdContext& c, std::uint32_t& out) override {
        const AdResult result = Record(c, AdExport::IsConnectOkay, "_IsConnectOkay");
        out = connected;
        return result;
    }
    AdResult SetNetworkState(AdContext& c, std::int32_t state) override {
        return Record(c, AdExport::SetNetworkState, "_SetNetworkState " + std::to_string(state));
    }
    AdResult GetStatus(AdContext& c, std::uint32_t& word) override {
        const AdResult result = Record(c, AdExport::GetStatus, "_GetStatus");
        if (result) {
            word = statusWord;
        }
        return result;
    }
    AdResult Shutdown(AdContext& c) override { return Record(c, AdExport::Shutdown, "_Shutdown"); }

  private:
    AdResult Record(AdContext& c, AdExport which, std::string call) {
        if (!Has(which)) {
            return std::nullopt;  // a missing export is never called
        }
        calls.push_back(std::move(call));
        contexts.push_back(&c);
        const auto given = results.find(which);
        return given != results.end() ? given->second : 1u;
    }
};

class FakeSurface final : public AdSurface {
  public:
    int invalidated = 0;
    int repainted = 0;
    std::vector<Bounds> placed;
    void Invalidate() override { ++invalidated; }
    void RepaintNow() override { ++repainted; }
    void Place(const Bounds& bounds) override { placed.push_back(bounds); }
};

class AdBannerTest : public ::testing::Test {
  protected:
    FakeLibrary library;
    FakeSurface surface;
};

using Calls = std::vector<std::string>;

const Calls kStartCalls = {"_Startup 502 1 0",
                           "_SetCallback",
                           "_SetNetworkCallback",
                           "_SetAdRecordedCallback",
                           "_SetBandwidthThrottle 2147483647",
                           "_SetMinimumAdDisplayTime 0"};

TEST(AdFormats, BoundsChooseTheFormatAndItsExtent) {
    struct Case {
        int width;
        int height;
        Extent expected;
    };
    const std::vector<Case> cases = {
        {468, 60, {468, 60}},    {120, 100, {120, 90}},  {120, 182, {120, 240}},
        {200, 10, {234, 60}},    {10, 10, {50, 200}},    {59, 500, {50, 200}},
        {60, 0, {70, 70}},       {78, 70, {70, 70}},     {79, 70, {88, 31}},
        {103, 31, {88, 31}},     {104, 74, {120, 60}},   {134, 75, {120, 90}},
        {120, 107, {120, 90}},   {120, 108, {125, 125}}, {120, 181, {125, 125}},
        {135, 500, {150, 40}},   {191, 40, {150, 40}},   {192, 40, {234, 60}},
        {266, 60, {234, 60}},    {267, 60, {300, 50}},   {345, 50, {300, 50}},
        {346, 50, {392, 72}},    {429, 72, {392, 72}},   {430, 72, {468, 60}},
        {4000, 4000, {468, 60}}, {-5, -5, {50, 200}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtentOf(FormatFor(c.width, c.height)), c.expected)
            << c.width << " by " << c.height;
    }
    // Each format's own extent chooses that format again: setting it never moves on.
    for (int ordinal = 0; ordinal < 12; ++ordinal) {
        const auto size = static_cast<AdImageSize>(ordinal);
        EXPECT_EQ(FormatFor(ExtentOf(size).width, ExtentOf(size).height), size) << ordinal;
    }
}

TEST_F(AdBannerTest, NewBoundsKeepTheirPlaceAndTakeTheFormatsExtent) {
    AdBanner banner(library, surface);
    EXPECT_EQ(banner.bounds(), (Bounds{0, 0, 468, 60}));
    EXPECT_EQ(banner.Size(), AdImageSize::ADS468x60);

    banner.SetBounds({8, 376, 120, 100});
    EXPECT_EQ(banner.Size(), AdImageSize::ADS120x90);
    EXPECT_EQ(banner.bounds(), (Bounds{8, 376, 120, 90}));
    banner.SetSize(AdImageSize::ADS88x31);
    EXPECT_EQ(banner.bounds(), (Bounds{8, 376, 88, 31}));
    EXPECT_EQ(surface.placed, (std::vector<Bounds>{{8, 376, 120, 90}, {8, 376, 88, 31}}));
    EXPECT_TRUE(library.calls.empty()) << "the format is passed only at start";
}

TEST(AdWords, OptionsAndStatusInTheLibrarysEncoding) {
    using enum AdOption;
    EXPECT_EQ(OptionsWord({}), 0u);
    EXPECT_EQ(OptionsWord({adoNoConnect}), 0x1u);
    EXPECT_EQ(OptionsWord({adoNoDialOnDemand, adoDelayedStartup}), 0x6u);
    EXPECT_EQ(OptionsWord({adoNoConnect, adoAll}), 0xFFFFFFFFu);
    EXPECT_EQ(OptionsOf(0x5), (AdOptions{adoNoConnect, adoDelayedStartup}));
    EXPECT_EQ(OptionsOf(0x7), (AdOptions{adoNoConnect, adoNoDialOnDemand, adoDelayedStartup}))
        << "the three bits are not every bit";
    EXPECT_EQ(OptionsOf(0xFFFFFFFF),
              (AdOptions{adoNoConnect, adoNoDialOnDemand, adoDelayedStartup, adoAll}));

    using enum AdStatus;
    EXPECT_EQ(
        StatusOf(0x1 | 0x2 | 0x10 | 0x20),
        (AdStatusSet{adiWinsockStarted, adiNetworkIsUp, adiConnectHasFailed, adiConnectHasWorked}));
    EXPECT_EQ(
        StatusOf(0x40 | 0x80 | 0x100 | 0x200),
        (AdStatusSet{adiProxyHasFailed, adiProxyHasWorked, adiClickHasFailed, adiClickHasWorked}));
    EXPECT_EQ(StatusOf(0x1000 | 0x2000 | 0x4000),
              (AdStatusSet{adiIdle, adiConnecting, adiWorking}));
    EXPECT_TRUE(StatusOf(0x4 | 0x8 | 0x400 | 0x800 | 0x8000 | 0xFFFF0000u).Empty());

    // Only the low 16 bits of a result count; a call not made is a failure.
    EXPECT_TRUE(Succeeded(0x10001u));
    EXPECT_FALSE(Succeeded(0x10000u));
    EXPECT_FALSE(Succeeded(std::nullopt));
}

TEST_F(AdBannerTest, PropertiesReachTheLibraryAsStoredAndStatusAsMapped) {
    AdBanner banner(library, surface);
    banner.SetOptions({AdOption::adoAll});
    EXPECT_EQ(banner.Options(), (AdOptions{AdOption::adoNoConnect, AdOption::adoNoDialOnDemand,
                                           AdOption::adoDelayedStartup, AdOption::adoAll}));
    banner.SetProgramID(-7);
    banner.SetSize(AdImageSize::ADS120x240);
    banner.SetBandwidthThrottle(900);
    banner.SetMinimumAdDisplayTime(15);
    EXPECT_TRUE(library.calls.empty()) << "stored only until the start";

    library.statusWord = 0x1000 | 0x200 | 0x8;
    EXPECT_EQ(banner.Status(), (AdStatusSet{AdStatus::adiIdle, AdStatus::adiClickHasWorked}));
    EXPECT_TRUE(banner.Start());
    banner.SetBandwidthThrottle(-1);
    banner.SetMinimumAdDisplayTime(30);
    EXPECT_EQ(library.calls, (Calls{"_GetStatus", "_Startup -7 11 4294967295", "_SetCallback",
                                    "_SetNetworkCallback", "_SetAdRecordedCallback",
                                    "_SetBandwidthThrottle 900", "_SetMinimumAdDisplayTime 15",
                                    "_SetBandwidthThrottle -1", "_SetMinimumAdDisplayTime 30"}));
    EXPECT_EQ(banner.BandwidthThrottle(), -1);
    EXPECT_EQ(banner.MinimumAdDisplayTime(), 30);

    library.missing[AdExport::GetStatus] = true;
    library.statusWord = 0xFFFF;
    EXPECT_TRUE(banner.Status().Empty()) << "no _GetStatus, no status";
}

TEST_F(AdBannerTest, StartRunsTheFiveCallsAfterStartupAndRepaintsOnce) {
    AdBanner banner(library, surface);
    banner.SetProgramID(502);
    banner.Loaded();
    EXPECT_TRUE(banner.Started());
    EXPECT_EQ(library.calls, kStartCalls);
    EXPECT_EQ(surface.repainted, 1);
    EXPECT_EQ(library.registered, &banner) << "the control is the callbacks' user data";
    // Every call gets the same context, which points at the control's slot.
    for (const AdContext* context : library.contexts) {
        ASSERT_EQ(context, library.contexts.front());
    }
    EXPECT_NE(library.contexts.front()->slot, 0u);
    EXPECT_EQ(library.contexts.front()->reserved, 0u);
}

TEST_F(AdBannerTest, StartStopsAtTheFirstFailingCallButStaysStarted) {
    const std::vector<AdExport> steps = {
        AdExport::SetCallback, AdExport::SetNetworkCallback, AdExport::SetAdRecordedCallback,
        AdExport::SetBandwidthThrottle, AdExport::SetMinimumAdDisplayTime};
    for (std::size_t k = 0; k < steps.size(); ++k) {
        for (const bool notFound : {false, true}) {
            FakeLibrary lib;
            FakeSurface surf;
            if (notFound) {
                lib.missing[steps[k]] = true;
            } else {
                lib.results[steps[k]] = 0x30000;  // non-zero, but not in the low 16 bits
            }
            {
                AdBanner banner(lib, surf);
                banner.SetProgramID(502);
                EXPECT_FALSE(banner.Start()) << k;
                EXPECT_TRUE(banner.Started()) << k;
                EXPECT_EQ(surf.repainted, 1) << k;
                const Calls expected(
                    kStartCalls.begin(),
                    kStartCalls.begin() + static_cast<long>(k) + (notFound ? 1 : 2));
                EXPECT_EQ(lib.calls, expected) << k << (notFound ? " not found" : " failed");
            }
            EXPECT_EQ(lib.calls.back(), "_Shutdown") << "started, so shut down at the end";
        }
    }
}

TEST_F(AdBannerTest, FailedStartupLeavesTheControlUnstartedAndSilent) {
    library.results[AdExport::Startup] = 0xFFFF0000u;
    {
        AdBanner banner(library, surface);
        EXPECT_FALSE(banner.Start());
        EXPECT_FALSE(banner.Started());
        banner.SetBandwidthThrottle(5);
        banner.SetMinimumAdDisplayTime(5);
        banner.SetNetworkIsUp(true);
        EXPECT_FALSE(banner.NetworkIsUp());
        EXPECT_EQ(banner.BandwidthThrottle(), 5);
    }
    EXPECT_EQ(library.calls, Calls{"_Startup 0 1 0"}) << "nothing passed on, no _Shutdown";
    EXPECT_EQ(surface.repainted, 0);

    FakeLibrary unbound;
    unbound.loaded = false;
    AdBanner banner(unbound, surface);
    banner.Loaded();
    EXPECT_FALSE(banner.Started());
    banner.PaintInto(1234);
    banner.Click();
    EXPECT_TRUE(unbound.calls.empty());

    FakeLibrary manual;
    AdBanner notAutoLoaded(manual, surface);
    notAutoLoaded.SetAutoLoad(false);
    notAutoLoaded.Loaded();
    EXPECT_TRUE(manual.calls.empty()) << "AutoLoad off: loading starts nothing";
}

TEST_F(AdBannerTest, NetworkIsUpOnlyWhenStartedAndTheLibrarySaysSo) {
    AdBanner banner(library, surface);
    banner.SetNetworkIsUp(true);
    EXPECT_FALSE(banner.NetworkIsUp());
    EXPECT_TRUE(library.calls.empty()) << "before the start nothing is asked or remembered";

    banner.Start();
    library.calls.clear();
    EXPECT_TRUE(banner.NetworkIsUp());
    library.connected = 0;
    EXPECT_FALSE(banner.NetworkIsUp()) << "the out value is 0";
    library.connected = 1;
    library.results[AdExport::IsConnectOkay] = 0x10000;
    EXPECT_FALSE(banner.NetworkIsUp()) << "the call failed";
    banner.SetNetworkIsUp(true);
    banner.SetNetworkIsUp(false);
    EXPECT_EQ(library.calls, (Calls{"_IsConnectOkay", "_IsConnectOkay", "_IsConnectOkay",
                                    "_SetNetworkState -1", "_SetNetworkState 0"}));
}

TEST_F(AdBannerTest, ClicksPaintsAndCallbacksRaiseTheEvents) {
    AdBanner banner(library, surface);
    banner.Start();
    library.calls.clear();
    std::vector<std::string> events;
    banner.OnClick = [&](AdBanner& sender) {
        EXPECT_EQ(&sender, &banner);
        events.push_back("OnClick");
        library.calls.push_back("(OnClick)");
    };
    banner.OnNetworkRequest = [&](AdBanner& sender) {
        EXPECT_EQ(&sender, &banner);
        events.push_back("OnNetworkRequest");
    };
    banner.OnAdCounted = [&](AdBanner& sender) {
        EXPECT_EQ(&sender, &banner);
        events.push_back("OnAdCounted");
    };

    banner.Click();
    banner.PaintInto(0xBEEF);
    banner.InvalidateCallback();
    library.statusWord = 0x2;
    banner.NetworkCallback();
    library.statusWord = 0x1000;
    banner.NetworkCallback();
    banner.AdCountedCallback();
    EXPECT_EQ(library.calls, (Calls{"(OnClick)", "_OnClick", "_Paint 48879", "_GetStatus",
                                    "_SetNetworkState -1", "_GetStatus", "_SetNetworkState 0"}));
    EXPECT_EQ(events, (std::vector<std::string>{"OnClick", "OnNetworkRequest", "OnNetworkRequest",
                                                "OnAdCounted"}));
    EXPECT_EQ(surface.invalidated, 1);

    // Without handlers the callbacks still do the library's part.
    banner.OnNetworkRequest = nullptr;
    banner.OnAdCounted = nullptr;
    banner.OnClick = nullptr;
    library.calls.clear();
    banner.NetworkCallback();
    banner.AdCountedCallback();
    banner.Click();
    EXPECT_EQ(library.calls, (Calls{"_GetStatus", "_SetNetworkState 0", "_OnClick"}));
}

TEST(AdBindFailure, EachMissingPieceIsOneAssertionBox) {
    platform::memory::MemoryDialogs dialogs;
    FakeLibrary absent;
    absent.loaded = false;
    ReportBindFailure(absent, dialogs);
    std::vector<std::string> expected = {"Couldn't load advert.dll"};
    for (const std::string_view name : kExportNames) {
        expected.push_back("Couldn't find address of " + std::string(name));
    }
    EXPECT_EQ(dialogs.Texts(), expected);
    ASSERT_EQ(dialogs.shown.size(), 17u);
    for (const platform::MessageBoxRequest& box : dialogs.shown) {
        EXPECT_EQ(box.caption, "Assertion Failed");
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.buttons, platform::Buttons::Ok);
        EXPECT_FALSE(box.warning);
    }

    platform::memory::MemoryDialogs partial;
    FakeLibrary twoMissing;
    twoMissing.missing[AdExport::DebugTriggerEvent] = true;
    twoMissing.missing[AdExport::Paint] = true;
    ReportBindFailure(twoMissing, partial);
    EXPECT_EQ(partial.Texts(),
              (std::vector<std::string>{"Couldn't find address of _Paint",
                                        "Couldn't find address of _debugTriggerEvent"}));

    platform::memory::MemoryDialogs none;
    ReportBindFailure(FakeLibrary{}, none);
    EXPECT_TRUE(none.shown.empty());
}

}  // namespace
}  // namespace qv::adbanner
