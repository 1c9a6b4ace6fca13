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
    pictureShown_ = false;
    decoding_ = false;
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
    if (suspended_->load() || decoding_ || !source_) {
        return;
    }
    decoding_ = true;
    window_.StartDecode(source_, pictIndex_);
}

void PictureShow::OnPictureDecoded(DecodedPicture& decoded) {
    decoding_ = false;
    if (!decoded.index) {
        if (!pictureShown_) {
            // Not one picture decodes: the end of a Tessel without pictures.
            platform::ShowHostMessage(platform_.dialogs, text::NoPictures);
            CloseNow();
        }
        return;
    }
    std::swap(shown_, decoded.frame);
    if (source_) {
        source_->Recycle(std::move(decoded.frame));
    }
    window_.ShowPicture(shown_);
    if (!pictureShown_) {
        pictureShown_ = true;
        LayOut();
    }
    pictIndex_ = NextPictureIndex(*decoded.index, tessel_.pictures.size());
}

void PictureShow::LayOut() {
    screens_ = window_.CurrentScreens();
    window_.Cover(screens_.virtualScreen);
    if (pictureShown_) {
        // Centred on the primary monitor at its own size; later pictures keep this corner.
        const ScreenRect& primary = screens_.primary;
        pictureLeft_ =
            primary.left - screens_.virtualScreen.left + (primary.Width() - shown_.width) / 2;
        pictureTop_ =
            primary.top - screens_.virtualScreen.top + (primary.Height() - shown_.height) / 2;
        PlacePicture();
    }
}

// A picture larger than the primary monitor is cut by its edges, never spilling over.
void PictureShow::PlacePicture() {
    const ScreenRect& area = screens_.virtualScreen;
    const ScreenRect visible{screens_.primary.left - area.left, screens_.primary.top - area.top,
                             screens_.primary.right - area.left,
                             screens_.primary.bottom - area.top};
    window_.MovePicture(pictureLeft_, pictureTop_, visible);
}

void PictureShow::OnDisplayChanged() {
    LayOut();
    if (!countdownStarted_) {
        // The client area's origin may have moved under a pointer that did not: the next
        // position is a new anchor, not a movement.
        anchorX_ = 0;
        anchorY_ = 0;
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

void PictureShow::OnPictureMouseMove(int x, int y) {
    if (activating_) {
        return;
    }
    const int hotSpot = CheckForHotspot(x, y);
    if (hotSpot > 0 && !tessel_.links[static_cast<std::size_t>(hotSpot - 1)].empty()) {
        // Over a link the show waits: no picture change, no countdown.
        window_.SetCursorShape(CursorShape::Hand);
        window_.SetPictureHint(text::LinkHint);
        suspended_->store(true);
        return;
    }
    window_.SetCursorShape(CursorShape::Arrow);
    window_.SetPictureHint(std::nullopt);
    suspended_->store(false);
    const int clientX = pictureLeft_ + x;
    const int clientY = pictureTop_ + y;
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

void PictureShow::OnPictureMouseDown(int x, int y) {
    if (activating_ || !PasswordOK()) {
        return;
    }
    const int hotSpot = CheckForHotspot(x, y);
    if (hotSpot > 0 && !tessel_.links[static_cast<std::size_t>(hotSpot - 1)].empty()) {
        FollowLink(hotSpot);
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
