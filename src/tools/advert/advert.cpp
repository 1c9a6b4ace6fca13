// advert.dll as the project builds it: the advertising library the settings window's banner
// binds by name. It has no network and fetches nothing: it shows the project's own banners,
// drawn here with GDI, changes them now and then from a thread of its own (telling the
// control through its invalidate callback, and counting the banner that was shown), opens a
// banner's web address on a click, and reports in its status word only what it does.
#include <windows.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <cwchar>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

#include "adbanner/advert_abi.h"
#include "base/win32/unique_handle.h"
#include "base/win32/wide.h"
#include "desktop/web_address.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/font.h"
#include "ui/win32/mark.h"

namespace {

using qv::winbase::ScopedSelect;
using qv::winbase::UniqueGdiObject;

namespace abi = qv::adbanner::abi;
using abi::Callback;
using abi::Result;
using abi::Word;

constexpr std::uint32_t kClickHasFailed = abi::kStatusClickHasFailed;
constexpr std::uint32_t kClickHasWorked = abi::kStatusClickHasWorked;
constexpr std::uint32_t kIdle = abi::kStatusIdle;

// A signed value, as it travels in a word.
std::int32_t Signed(Word word) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(word));
}

// A banner stays at least this long, or the host's minimum display time (seconds) if longer.
constexpr std::int64_t kShortestShowMs = 4000;
constexpr std::int64_t kLongestShowMs = 3600 * 1000;

struct Banner {
    const wchar_t* headline;
    const wchar_t* line;
    COLORREF left;
    COLORREF right;
    const wchar_t* address;
};

// Addresses under the domain reserved for examples, until the product has a site of its own.
constexpr std::array<Banner, 3> kBanners{{
    {L"Quorvanes", L"A new Tessel each time your screen rests", RGB(112, 0, 16), RGB(214, 84, 40),
     L"https://www.example.com/quorvanes/"},
    {L"Make your own Tessel", L"Your pictures and links, packed with the tessel tool",
     RGB(12, 40, 112), RGB(40, 140, 210), L"https://www.example.com/quorvanes/tessels"},
    {L"Preshows", L"A short show before every screen saver", RGB(16, 88, 40), RGB(120, 180, 60),
     L"https://www.example.com/quorvanes/preshows"},
}};

struct Callbacks {
    Callback invalidate = nullptr;
    void* invalidateUser = nullptr;
    Callback network = nullptr;
    void* networkUser = nullptr;
    Callback counted = nullptr;
    void* countedUser = nullptr;
};

// One library state per process. Never destroyed: a process may end with the library still
// started, and the thread must not be torn down from under the loader.
struct State {
    std::mutex lock;
    std::condition_variable wake;
    bool started = false;
    bool stopping = false;
    std::size_t shown = 0;
    std::int32_t programId = 0;
    std::uint32_t options = 0;
    std::int32_t throttle = 0;
    std::int32_t minimumSeconds = 0;
    std::int32_t hostSaysNetwork = 0;  // what the host told; there is no network here
    std::uint32_t clickBits = 0;
    Callbacks callbacks;
    std::thread rotation;
};

State& TheState() {
    static State* const state = new State();
    return *state;
}

std::int64_t ShowMs(const State& state) {
    const std::int64_t wanted = static_cast<std::int64_t>(state.minimumSeconds) * 1000;
    return std::clamp(wanted, kShortestShowMs, kLongestShowMs);
}

void Call(Callback callback, void* user) {
    if (callback != nullptr) {
        callback(user);
    }
}

// The rotation: after the first banner's time the host is asked about the network once;
// then every banner shown its time is counted and the next one painted. Callbacks run
// without the lock: they call back in.
void Rotate() {
    State& state = TheState();
    bool askedNetwork = false;
    std::unique_lock hold(state.lock);
    while (!state.wake.wait_for(hold, std::chrono::milliseconds(ShowMs(state)),
                                [&] { return state.stopping; })) {
        state.shown = (state.shown + 1) % kBanners.size();
        const Callbacks callbacks = state.callbacks;
        hold.unlock();
        if (!std::exchange(askedNetwork, true)) {
            Call(callbacks.network, callbacks.networkUser);
        }
        Call(callbacks.counted, callbacks.countedUser);
        Call(callbacks.invalidate, callbacks.invalidateUser);
        hold.lock();
    }
}

void Fill(HDC dc, RECT box, COLORREF colour) {
    UniqueGdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &box, static_cast<HBRUSH>(brush.get()));
}

COLORREF Mix(COLORREF a, COLORREF b, int at, int of) {
    const auto mix = [&](int x, int y) { return x + (y - x) * at / std::max(of, 1); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

void DrawLine(HDC dc, const wchar_t* text, int height, bool bold, RECT box) {
    qv::ui::win32::FontSpec wanted;
    wanted.pixels = height;
    wanted.bold = bold;
    wanted.picture = true;
    qv::ui::win32::DrawTextLine(dc, text, wanted, RGB(255, 255, 255), box,
                                DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

// A banner fills the buffer whatever its format: a band of colour, the mark, two lines.
void DrawBanner(HDC dc, const Banner& banner, int width, int height) {
    constexpr int kSteps = 32;
    for (int k = 0; k < kSteps; ++k) {
        Fill(dc, {width * k / kSteps, 0, width * (k + 1) / kSteps, height},
             Mix(banner.left, banner.right, k, kSteps - 1));
    }
    const int mark = std::min(height, width) / 2 - 4;
    if (mark > 4) {
        qv::ui::win32::DrawMark(dc, {mark + 8, height / 2}, mark);
    }
    const int textLeft = mark > 4 ? 2 * mark + 20 : 4;
    DrawLine(dc, banner.headline, std::max(height * 2 / 5, 8), true,
             {textLeft, 2, width - 4, height / 2 + 2});
    DrawLine(dc, banner.line, std::max(height / 4, 7), false,
             {textLeft, height / 2, width - 4, height - 2});
}

std::uint32_t SetOne(Callback& callback, void*& user, Callback given, void* givenUser) {
    State& state = TheState();
    const std::lock_guard hold(state.lock);
    callback = given;
    user = givenUser;
    return 1;
}

}  // namespace

extern "C" {

Result QV_ADVERT_CALL AdvertStartup(void* context, Word /*self*/, Word /*zero*/, Word programId,
                                    Word /*format: each is drawn to the buffer's size*/,
                                    Word options) {
    State& state = TheState();
    const std::lock_guard hold(state.lock);
    if (context == nullptr || state.started) {
        return 0;
    }
    state.programId = Signed(programId);
    state.options = static_cast<std::uint32_t>(options);
    state.started = true;
    state.stopping = false;
    state.rotation = std::thread(Rotate);
    return 1;
}

Result QV_ADVERT_CALL AdvertPaint(void* /*context*/, Word buffer, Word, Word) {
    const auto dc = reinterpret_cast<HDC>(buffer);
    BITMAP bitmap{};
    if (::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof(bitmap), &bitmap) == 0) {
        return 0;
    }
    std::size_t shown = 0;
    {
        State& state = TheState();
        const std::lock_guard hold(state.lock);
        shown = state.shown;
    }
    DrawBanner(dc, kBanners[shown], bitmap.bmWidth, bitmap.bmHeight);
    return 1;
}

Result QV_ADVERT_CALL AdvertOnClick(void* /*context*/) {
    State& state = TheState();
    const wchar_t* address = nullptr;
    {
        const std::lock_guard hold(state.lock);
        address = kBanners[state.shown].address;
    }
    // The one rule and the one "open" of the programs: only web addresses reach the shell.
    qv::platform::win32::Win32Desktop desktop;
    const bool opened = qv::desktop::OpenWebAddress(desktop, 0, qv::winbase::Narrow(address),
                                                    qv::platform::ShowCommand::Normal)
                            .opened();
    const std::lock_guard hold(state.lock);
    state.clickBits = opened ? kClickHasWorked : kClickHasFailed;
    return opened ? 1 : 0;
}

Result QV_ADVERT_CALL AdvertSetCallback(void*, Callback callback, void* user) {
    Callbacks& c = TheState().callbacks;
    return SetOne(c.invalidate, c.invalidateUser, callback, user);
}

Result QV_ADVERT_CALL AdvertSetNetworkCallback(void*, Callback callback, void* user) {
    Callbacks& c = TheState().callbacks;
    return SetOne(c.network, c.networkUser, callback, user);
}

Result QV_ADVERT_CALL AdvertSetAdRecordedCallback(void*, Callback callback, void* user) {
    Callbacks& c = TheState().callbacks;
    return SetOne(c.counted, c.countedUser, callback, user);
}

Result QV_ADVERT_CALL AdvertSetBandwidthThrottle(void*, Word throttle) {
    State& state = TheState();
    const std::lock_guard hold(state.lock);
    state.throttle = Signed(throttle);  // nothing is downloaded: kept, not used
    return 1;
}

Result QV_ADVERT_CALL AdvertSetMinimumAdDisplayTime(void*, Word seconds) {
    State& state = TheState();
    const std::lock_guard hold(state.lock);
    state.minimumSeconds = Signed(seconds);
    return 1;
}

// The call works; there is no connection, so the answer is "not connected".
Result QV_ADVERT_CALL AdvertIsConnectOkay(void*, std::uint32_t* connected) {
    if (connected == nullptr) {
        return 0;
    }
    *connected = 0;
    return 1;
}

Result QV_ADVERT_CALL AdvertRetryConnect(void*) {
    return 0;  // nothing to retry without a network
}

Result QV_ADVERT_CALL AdvertSetNetworkState(void*, Word state) {
    State& s = TheState();
    const std::lock_guard hold(s.lock);
    s.hostSaysNetwork = Signed(state);
    return 1;
}

Result QV_ADVERT_CALL AdvertSetProxy(void*) {
    return 0;  // no connection, no proxy
}

Result QV_ADVERT_CALL AdvertGetStatus(void*, std::uint32_t* word, std::uintptr_t) {
    if (word == nullptr) {
        return 0;
    }
    State& state = TheState();
    const std::lock_guard hold(state.lock);
    *word = kIdle | state.clickBits;
    return 1;
}

Result QV_ADVERT_CALL AdvertUseDefaultAd(void*) {
    State& state = TheState();
    Callbacks callbacks;
    {
        const std::lock_guard hold(state.lock);
        state.shown = 0;
        callbacks = state.callbacks;
    }
    Call(callbacks.invalidate, callbacks.invalidateUser);
    return 1;
}

// Ends the rotation and forgets the host's callbacks: after this nothing calls back.
Result QV_ADVERT_CALL AdvertShutdown(void*) {
    State& state = TheState();
    std::thread rotation;
    {
        const std::lock_guard hold(state.lock);
        if (!state.started) {
            return 0;
        }
        state.stopping = true;
        state.started = false;
        rotation = std::move(state.rotation);
    }
    state.wake.notify_all();
    if (rotation.joinable()) {
        rotation.join();
    }
    const std::lock_guard hold(state.lock);
    state.callbacks = {};
    return 1;
}

// Calls one of the host's callbacks now: 0 invalidate, 1 network, 2 banner counted.
Result QV_ADVERT_CALL AdvertDebugTriggerEvent(void*, Word which) {
    State& state = TheState();
    Callbacks c;
    {
        const std::lock_guard hold(state.lock);
        c = state.callbacks;
    }
    const std::array<std::pair<Callback, void*>, 3> chosen{
        {{c.invalidate, c.invalidateUser}, {c.network, c.networkUser}, {c.counted, c.countedUser}}};
    if (which >= chosen.size()) {
        return 0;
    }
    Call(chosen[which].first, chosen[which].second);
    return 1;
}

}  // extern "C"

// Each export has the signature the banner control calls it with.
static_assert(std::is_same_v<decltype(&AdvertStartup), abi::StartupCall>);
static_assert(std::is_same_v<decltype(&AdvertPaint), abi::PaintCall>);
static_assert(std::is_same_v<decltype(&AdvertOnClick), abi::ContextCall>);
static_assert(std::is_same_v<decltype(&AdvertSetCallback), abi::CallbackCall>);
static_assert(std::is_same_v<decltype(&AdvertSetNetworkCallback), abi::CallbackCall>);
static_assert(std::is_same_v<decltype(&AdvertSetAdRecordedCallback), abi::CallbackCall>);
static_assert(std::is_same_v<decltype(&AdvertSetBandwidthThrottle), abi::ValueCall>);
static_assert(std::is_same_v<decltype(&AdvertSetMinimumAdDisplayTime), abi::ValueCall>);
static_assert(std::is_same_v<decltype(&AdvertIsConnectOkay), abi::IsConnectCall>);
static_assert(std::is_same_v<decltype(&AdvertRetryConnect), abi::ContextCall>);
static_assert(std::is_same_v<decltype(&AdvertSetNetworkState), abi::ValueCall>);
static_assert(std::is_same_v<decltype(&AdvertSetProxy), abi::ContextCall>);
static_assert(std::is_same_v<decltype(&AdvertGetStatus), abi::StatusCall>);
static_assert(std::is_same_v<decltype(&AdvertUseDefaultAd), abi::ContextCall>);
static_assert(std::is_same_v<decltype(&AdvertShutdown), abi::ContextCall>);
static_assert(std::is_same_v<decltype(&AdvertDebugTriggerEvent), abi::ValueCall>);
