#include "saver/picture_show.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "config/config_store.h"
#include "config/entries.h"
#include "config/names.h"
#include "config/rotation.h"
#include "config/system_saver_settings.h"
#include "config/tessel_folders.h"
#include "desktop/window_search.h"
#include "password/saver_password.h"
#include "platform/messages.h"
#include "saver/hot_spots.h"
#include "saver/names.h"
#include "saver/show_layout.h"

namespace qv::saver {

namespace {

using config::kIniSection;
namespace value = config::value;

constexpr int kDefaultViewTime = 3;  // the dialog's index: 3 + 5 = 8 seconds
constexpr int kViewTimeBase = 5;
constexpr int kDefaultMouseDelay = 2;  // 2 + 3 = 5 seconds
constexpr int kMouseDelayBase = 3;
// Odd stored numbers must not make the timers spin or sleep for weeks.
constexpr int kMaxSeconds = 24 * 60 * 60;

int SecondsFrom(int stored, int base, int least) {
    const std::int64_t seconds = std::int64_t{stored} + base;
    return static_cast<int>(std::clamp<std::int64_t>(seconds, least, kMaxSeconds));
}

}  // namespace

PictureShow::PictureShow(const platform::Platform& platform, const HostState& state,
                         ShowWindow& window)
    : platform_(platform),
      state_(state),
      window_(window),
      regIni_(config::OpenUserIni(platform.registry)),
      suspended_(std::make_shared<std::atomic<bool>>(false)) {}

PictureShow::~PictureShow() {
    OnDestroy();
}

namespace {

// The file of a Tessel by its title, in the installation's folder or the user's; when
// neither has it, a path that does not exist.
std::string TesselFileOf(platform::Files& files, const std::string& folder,
                         const std::string& title) {
    return config::FindTessel(files, {folder, config::UserTesselsDir(files)}, title)
        .value_or(config::TesselPath(folder, title));
}

}  // namespace

std::string PictureShow::TesselPathOf(const std::string& folder) const {
    return TesselFileOf(platform_.files, folder,
                        regIni_.ReadString(kIniSection, value::CurrentTessel, ""));
}

std::string PictureShow::PathToOpen(const config::ConfigStore& store,
                                    const std::string& folder) const {
    if (!state_.tesselForThisRun.empty()) {
        // Chosen by the start for this run only: the rotation is not advanced.
        return TesselFileOf(platform_.files, folder, state_.tesselForThisRun);
    }
    const config::Rotation rotation(platform_, store, state_.trayRunning);
    if (regIni_.ReadBool(kIniSection, value::RotationEnabled, false) && !state_.trayRunning) {
        (void)rotation.NextRotationTessel();
        return TesselPathOf(folder);
    }
    std::string path = TesselPathOf(folder);
    if (!platform_.files.FileExists(path)) {
        (void)rotation.NextRotationTessel();
        path = TesselPathOf(folder);
    }
    return path;
}

OpenOutcome PictureShow::Open() {
    closeAllowed_ = false;
    const config::ConfigStore store(platform_.registry,
                                    config::ShowWriteFailedMessage(platform_.dialogs));
    const std::string path = PathToOpen(store, store.ReadMachineValue(value::TesselsDir));
    if (!platform_.files.FileExists(path)) {
        return OpenOutcome::NoTessel;
    }

    viewSeconds_ = SecondsFrom(regIni_.ReadInteger(kIniSection, value::ViewTime, kDefaultViewTime),
                               kViewTimeBase, 1);
    mouseDelaySeconds_ =
        SecondsFrom(regIni_.ReadInteger(kIniSection, value::MouseDelay, kDefaultMouseDelay),
                    kMouseDelayBase, 0);
    suspended_->store(false);
    countdownStarted_ = false;
    modes_ = config::ReadShowModes(store);

    // A file that is no resource library has no pictures either. The file is read as data
    // by our own reader, which checks every length against the file.
    auto library = OpenTessel(platform_.files, path);
    if (library) {
        tessel_ = ReadTessel(*library);
    }
    if (tessel_.pictures.empty()) {
        platform::ShowHostMessage(platform_.dialogs, text::NoPictures);
        return OpenOutcome::NoPictures;
    }

    source_ = std::make_shared<PictureSource>(std::move(library), tessel_.pictures);
    pictIndex_ = 0;
    shownIndex_ = 0;
    slots_.clear();
    incoming_.clear();
    pictureShown_ = false;
    decoding_ = false;
    remakeFrames_ = false;
    cutNext_ = false;
    fading_ = false;
    anchorX_ = 0;
    anchorY_ = 0;
    activating_ = false;
    passwordBusy_ = false;
    (void)platform_.system.SetScreenSaverRunning(true);
    runningAnnounced_ = true;
    LayOut();
    LoadNewPict();
    return OpenOutcome::Showing;
}

void PictureShow::LoadNewPict() {
    if (suspended_->load() || decoding_ || fading_ || !source_) {
        return;
    }
    RequestFrames(pictIndex_);
}

// A frame for each monitor that shows a picture, made on the decode worker.
void PictureShow::RequestFrames(std::size_t start) {
    FrameRequest request;
    request.start = start;
    request.nextOnEach = modes_.monitors == config::MonitorUse::NextOnEach;
    request.size = modes_.size;
    request.canvas = modes_.crossfade;
    for (const ScreenRect& monitor : monitors_) {
        request.monitors.push_back({monitor.Width(), monitor.Height()});
    }
    requestStart_ = start;
    decoding_ = true;
    window_.StartDecode(source_, std::move(request));
}

void PictureShow::OnPictureDecoded(DecodedPicture& decoded) {
    decoding_ = false;
    if (remakeFrames_) {
        // Made for monitors that changed meanwhile: the same pictures, for the new ones.
        remakeFrames_ = false;
        cutNext_ = true;
        RequestFrames(requestStart_);
        return;
    }
    if (!decoded.index) {
        if (!pictureShown_) {
            // Not one picture decodes: the end of a Tessel without pictures.
            platform::ShowHostMessage(platform_.dialogs, text::NoPictures);
            CloseNow();
        }
        return;
    }
    shownIndex_ = decoded.frames.empty() ? *decoded.index : decoded.frames.front().index;
    pictIndex_ = NextPictureIndex(*decoded.index, tessel_.pictures.size());
    const bool cut = cutNext_;
    cutNext_ = false;
    if (modes_.crossfade && pictureShown_ && !cut && Blendable(decoded.frames)) {
        incoming_ = std::move(decoded.frames);
        fading_ = true;
        fadeShare_ = 0;
        fadeStartMs_ = platform_.clock.NowMs();
        window_.StartFadeTimer(kCrossfadeStepMs);
        return;
    }
    slots_.resize(monitors_.size());
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        slots_[i].picture =
            i < decoded.frames.size() ? std::move(decoded.frames[i]) : PreparedPicture{};
    }
    if (!pictureShown_) {
        pictureShown_ = true;
        LayOut();
    } else {
        PlacePictures();
    }
}

// Each incoming frame the same size as the one it replaces: canvases of the same monitors.
bool PictureShow::Blendable(const std::vector<PreparedPicture>& frames) const {
    if (frames.size() != slots_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const imaging::Frame& from = slots_[i].picture.frame;
        if (from.width != frames[i].frame.width || from.height != frames[i].frame.height) {
            return false;
        }
    }
    return true;
}

void PictureShow::OnFadeStep() {
    if (!fading_) {
        window_.StopFadeTimer();
        return;
    }
    const int share = FadeShare(platform_.clock.NowMs() - fadeStartMs_);
    if (share >= kFadeWhole) {
        EndFade();
        return;
    }
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        (void)FadeToward(slots_[i].picture.frame, incoming_[i].frame, fadeShare_, share);
    }
    fadeShare_ = share;
    window_.RepaintPicture();
}

// The incoming frames take the outgoing ones' place: two frames per monitor at most.
void PictureShow::EndFade() {
    window_.StopFadeTimer();
    fading_ = false;
    for (std::size_t i = 0; i < slots_.size() && i < incoming_.size(); ++i) {
        slots_[i].picture = std::move(incoming_[i]);
    }
    incoming_.clear();
    PlacePictures();
}

void PictureShow::LayOut() {
    screens_ = window_.CurrentScreens();
    window_.Cover(screens_.virtualScreen);
    monitors_ = PictureMonitors(screens_, modes_.monitors);
    if (pictureShown_) {
        // In "0" at its own size the first picture is centred on the primary monitor and
        // later pictures keep its corner.
        const ScreenRect first = CentredOn(monitors_.front(), slots_.front().picture.drawn);
        cornerLeft_ = first.left;
        cornerTop_ = first.top;
        PlacePictures();
    }
}

void PictureShow::PlacePictures() {
    const bool keepCorner = modes_.monitors == config::MonitorUse::PrimaryOnly &&
                            modes_.size == config::PictureSize::OwnSize && !modes_.crossfade;
    std::vector<MonitorFrame> frames;
    for (std::size_t i = 0; i < slots_.size() && i < monitors_.size(); ++i) {
        Slot& slot = slots_[i];
        slot.monitor = monitors_[i];
        const imaging::PictureSize drawn = slot.picture.drawn;
        ScreenRect content = CentredOn(slot.monitor, drawn);
        if (keepCorner) {
            content = {cornerLeft_, cornerTop_, cornerLeft_ + drawn.width,
                       cornerTop_ + drawn.height};
        }
        // A canvas is the monitor itself, the picture centred on it.
        slot.left = modes_.crossfade ? slot.monitor.left : content.left;
        slot.top = modes_.crossfade ? slot.monitor.top : content.top;
        slot.shown = {content, slot.picture.picture};
        // A picture larger than its monitor is cut by its edges, never spilling over.
        frames.push_back({&slot.picture.frame, slot.left, slot.top, slot.monitor});
    }
    window_.ShowPictures(frames);
}

// The frames are made again for the new monitors where their sizes matter.
void PictureShow::OnDisplayChanged() {
    if (fading_) {
        EndFade();
    }
    const std::size_t before = monitors_.size();
    LayOut();
    if (!countdownStarted_) {
        // The client area's origin may have moved under a pointer that did not: the next
        // position is a new anchor, not a movement.
        anchorX_ = 0;
        anchorY_ = 0;
    }
    const bool remake = modes_.size == config::PictureSize::FillMonitor || modes_.crossfade ||
                        monitors_.size() != before;
    if (!remake || !source_) {
        return;
    }
    if (decoding_) {
        remakeFrames_ = true;
    } else if (pictureShown_) {
        cutNext_ = true;
        RequestFrames(shownIndex_);
    }
}

void PictureShow::OnActivate() {
    // Every later activation (after the password dialog, for one) would start one more
    // picture timer and hide the cursor once more; the first one is the show's start.
    if (activatedOnce_) {
        return;
    }
    activatedOnce_ = true;
    activating_ = true;
    window_.RepaintPicture();
    window_.StartActivationDelay(kActivationMs);
}

void PictureShow::OnActivationEnded() {
    if (!activating_) {
        return;
    }
    activating_ = false;
    window_.ShowCursor(false);
    window_.StartPictureTimer(viewSeconds_);
}

void PictureShow::OnKeyDown() {
    RequestClose();
}

void PictureShow::OnMouseDown() {
    if (!activating_) {
        RequestClose();
    }
}

void PictureShow::OnMouseMove(int x, int y) {
    if (activating_) {
        return;
    }
    window_.SetCursorShape(CursorShape::Arrow);
    if (TakeAnchorIfUnset(x, y)) {
        return;
    }
    suspended_->store(false);
    CountdownIfBeyond(x, y);
}

int PictureShow::HotSpotWithLink(std::optional<PicturePoint> point) const {
    const int hotSpot = point ? CheckForHotspot(point->x, point->y) : 0;
    if (hotSpot > 0 && !tessel_.links[static_cast<std::size_t>(hotSpot - 1)].empty()) {
        return hotSpot;
    }
    return 0;
}

void PictureShow::OnPictureMouseMove(int x, int y, std::size_t slot) {
    if (activating_ || slot >= slots_.size()) {
        return;
    }
    // Measured in the client area; the link areas in the picture's own coordinates.
    const int clientX = slots_[slot].left + x;
    const int clientY = slots_[slot].top + y;
    if (HotSpotWithLink(PictureAt(slots_[slot].shown, clientX, clientY)) > 0) {
        // Over a link the show waits: no picture change, no countdown.
        window_.SetCursorShape(CursorShape::Hand);
        window_.SetPictureHint(text::LinkHint);
        suspended_->store(true);
        return;
    }
    window_.SetCursorShape(CursorShape::Arrow);
    window_.SetPictureHint(std::nullopt);
    suspended_->store(false);
    if (!TakeAnchorIfUnset(clientX, clientY)) {
        CountdownIfBeyond(clientX, clientY);
    }
}

// The anchor is the first position seen; 0 in either coordinate is no anchor.
bool PictureShow::TakeAnchorIfUnset(int x, int y) {
    if (anchorX_ != 0 && anchorY_ != 0) {
        return false;
    }
    anchorX_ = x;
    anchorY_ = y;
    return true;
}

// A movement of more than the threshold away from the anchor starts the one countdown.
void PictureShow::CountdownIfBeyond(int x, int y) {
    const bool beyond =
        std::abs(x - anchorX_) > kAnchorThreshold || std::abs(y - anchorY_) > kAnchorThreshold;
    if (beyond && !countdownStarted_) {
        window_.ShowCursor(true);
        StartCountdown();
        countdownStarted_ = true;
    }
}

void PictureShow::StartCountdown() {
    countdownCancelled_ = false;
    window_.StartCountdown(mouseDelaySeconds_);
}

void PictureShow::OnCountdownTimeout() {
    if (!countdownCancelled_) {
        RequestClose();
    }
}

void PictureShow::OnPictureMouseDown(int x, int y, std::size_t slot) {
    if (activating_ || !PasswordOK()) {
        return;
    }
    if (slot < slots_.size()) {
        const Slot& shown = slots_[slot];
        const int hotSpot = HotSpotWithLink(PictureAt(shown.shown, shown.left + x, shown.top + y));
        if (hotSpot > 0) {
            FollowLink(hotSpot);
        }
    }
    CloseNow();
}

// The link travels through the registry; the browser-link window is only told to look.
void PictureShow::FollowLink(int hotSpot) {
    try {
        regIni_.WriteString(kIniSection, value::UrlLink,
                            tessel_.links[static_cast<std::size_t>(hotSpot - 1)]);
    } catch (const config::ConfigError& error) {
        // The receiver would read an older link: it is not told.
        platform::ShowHostMessage(platform_.dialogs, error.what());
        return;
    }
    const platform::WindowId receiver =
        desktop::FindWindowTitled(platform_, state_.isNT, kBrowserLinkTitle);
    if (receiver != 0) {
        (void)platform_.desktop.SendNotify(receiver, shared::kWmUser, shared::kBrowserLinkOpen, 0);
    }
}

void PictureShow::RequestClose() {
    if (PasswordOK()) {
        CloseNow();
    }
}

void PictureShow::CloseNow() {
    closeAllowed_ = true;
    if (fading_) {
        // A key or a click in a fade ends the show at once: no step paints after it.
        fading_ = false;
        window_.StopFadeTimer();
    }
    window_.ShowCursor(true);  // the window hides as it closes
    window_.Close();
}

bool PictureShow::PasswordOK() {
    if (passwordBusy_) {
        return false;
    }
    if (state_.isNT || !config::SystemSaverSettings(platform_).ScreenSaveUsePassword()) {
        return true;
    }
    passwordBusy_ = true;
    countdownCancelled_ = true;
    suspended_->store(true);
    window_.ShowCursor(true);
    const bool right = password::VerifySaverPassword(platform_, window_.Id());
    window_.ShowCursor(false);
    window_.ShowCursor(false);
    suspended_->store(false);
    if (!right) {
        countdownStarted_ = false;
        anchorX_ = 0;
        anchorY_ = 0;
        window_.RepaintPicture();
    }
    passwordBusy_ = false;
    return right;
}

void PictureShow::OnDestroy() {
    source_.reset();
    if (runningAnnounced_) {
        runningAnnounced_ = false;
        (void)platform_.system.SetScreenSaverRunning(false);
    }
}

}  // namespace qv::saver
