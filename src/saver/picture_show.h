// The picture show's rules, apart from any window: what each event of the show window does
// to the show's state, and what it asks of the window in turn. The Win32 window forwards
// its messages here and does what it is asked; everything runs on the window's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_store.h"
#include "config/reg_ini_file.h"
#include "config/show_modes.h"
#include "imaging/jpeg_decoder.h"
#include "platform/ports.h"
#include "saver/host.h"
#include "saver/picture_source.h"
#include "saver/show_layout.h"
#include "saver/tessel.h"

namespace qv::saver {

enum class CursorShape { Arrow, Hand };

// One monitor's frame as the window paints it.
struct MonitorFrame {
    const imaging::Frame* frame = nullptr;  // outlives the call, until the next one
    int left = 0;                           // the frame's corner in the client area
    int top = 0;
    ScreenRect visible;  // the monitor: only the frame's part on it is shown and hit
};

// What the show asks of its window.
class ShowWindow {
  public:
    virtual ~ShowWindow() = default;
    [[nodiscard]] virtual platform::WindowId Id() const = 0;
    [[nodiscard]] virtual Screens CurrentScreens() const = 0;
    // Places the window over `area` of the virtual screen; from then on the coordinates of
    // its client area start at the area's top-left corner.
    virtual void Cover(const ScreenRect& area) = 0;
    // One picture control per frame, each at its place and the frame's size; the pointer
    // over the frame of `frames[i]` comes as the picture events of slot i, in its
    // coordinates. What is outside every frame is the black area.
    virtual void ShowPictures(const std::vector<MonitorFrame>& frames) = 0;
    // Paints the frames again (their pixels changed in place, a crossfade's step).
    virtual void RepaintPicture() = 0;
    // Calls OnFadeStep every `ms` until StopFadeTimer: only while a crossfade runs.
    virtual void StartFadeTimer(int ms) = 0;
    virtual void StopFadeTimer() = 0;
    virtual void SetCursorShape(CursorShape shape) = 0;
    // ShowCursor(TRUE / FALSE): one step of the platform's display counter.
    virtual void ShowCursor(bool show) = 0;
    // The picture's tooltip; nullopt switches it off.
    virtual void SetPictureHint(std::optional<std::string_view> hint) = 0;
    // Destroys the window, which ends the program.
    virtual void Close() = 0;
    // Calls OnActivationEnded after `ms`, without holding up the window's thread.
    virtual void StartActivationDelay(int ms) = 0;
    // The workers. They reach the show only on the window's thread, and end quietly once
    // the window is gone. The countdown reads `PictureShow::Suspended()`; the decode runs
    // RunDecode with `request` and hands the pictures to `PictureShow::OnPictureDecoded`.
    virtual void StartPictureTimer(int seconds) = 0;
    virtual void StartCountdown(int seconds) = 0;
    virtual void StartDecode(std::shared_ptr<PictureSource> source, FrameRequest request) = 0;
};

enum class OpenOutcome {
    Showing,     // the first picture is on its way; show the window
    NoTessel,    // no file for the current title: end without a word
    NoPictures,  // the message was shown: end
};

inline constexpr int kActivationMs = 1000;
inline constexpr int kAnchorThreshold = 5;  // pixels, in either direction

class PictureShow {
  public:
    PictureShow(const platform::Platform& platform, const HostState& state, ShowWindow& window);
    ~PictureShow();
    PictureShow(const PictureShow&) = delete;
    PictureShow& operator=(const PictureShow&) = delete;

    // The start-up: chooses and opens the Tessel and asks for the first picture, which is
    // shown centred when it has decoded.
    OpenOutcome Open();

    // Window events. Coordinates are of the window's client area, or of the picture; the
    // pointer's movement is measured in the client area's, a picture position translated.
    void OnActivate();
    void OnActivationEnded();
    void OnKeyDown();
    void OnMouseDown();
    void OnMouseMove(int x, int y);
    // Over the frame of slot `slot` (ShowPictures), in the frame's coordinates.
    void OnPictureMouseMove(int x, int y, std::size_t slot = 0);
    void OnPictureMouseDown(int x, int y, std::size_t slot = 0);
    void OnDestroy();
    // The monitors changed (one added or switched off, a resolution changed): the window
    // covers the new virtual screen, and the pictures are placed on the monitors anew (and
    // made again for their new sizes where they fill them).
    void OnDisplayChanged();
    // A close the show did not ask for (WM_CLOSE from outside) is refused until then.
    [[nodiscard]] bool CloseAllowed() const { return closeAllowed_; }

    // Worker steps, run on the window's thread. LoadNewPict asks for the next picture (not
    // while one is still decoding); OnPictureDecoded shows it. When no picture at all
    // decodes, the show ends like one without pictures.
    void LoadNewPict();
    void OnPictureDecoded(DecodedPicture& decoded);
    void OnCountdownTimeout();
    // A step of the crossfade, on the window's timer.
    void OnFadeStep();

    // Shared with the countdown worker, which may outlive the show by a moment.
    [[nodiscard]] std::shared_ptr<const std::atomic<bool>> Suspended() const { return suspended_; }

    [[nodiscard]] int ViewSeconds() const { return viewSeconds_; }
    [[nodiscard]] int MouseDelaySeconds() const { return mouseDelaySeconds_; }
    [[nodiscard]] std::size_t PictureIndex() const { return pictIndex_; }
    [[nodiscard]] const Tessel& CurrentTessel() const { return tessel_; }
    [[nodiscard]] const config::ShowModes& Modes() const { return modes_; }
    [[nodiscard]] bool Fading() const { return fading_; }

    void RequestClose();
    bool PasswordOK();

  private:
    std::string TesselPathOf(const std::string& folder) const;
    // The Tessel of this run, the current one, or the next of the rotation.
    std::string PathToOpen(const config::ConfigStore& store, const std::string& folder) const;
    bool TakeAnchorIfUnset(int x, int y);
    void CountdownIfBeyond(int x, int y);
    void StartCountdown();
    void FollowLink(int hotSpot);
    void CloseNow();
    // Covers the virtual screen and places the shown pictures on their monitors.
    void LayOut();
    void PlacePictures();
    void RequestFrames(std::size_t start);
    void HandlePointer(std::optional<PicturePoint> point, int clientX, int clientY);
    int HotSpotWithLink(std::optional<PicturePoint> point) const;
    void EndFade();
    [[nodiscard]] bool Blendable(const std::vector<PreparedPicture>& frames) const;

    const platform::Platform& platform_;
    const HostState& state_;
    ShowWindow& window_;
    config::RegIniFile regIni_;

    bool closeAllowed_ = false;
    int viewSeconds_ = 0;
    int mouseDelaySeconds_ = 0;
    bool activating_ = false;
    bool activatedOnce_ = false;
    bool passwordBusy_ = false;
    int anchorX_ = 0;
    int anchorY_ = 0;
    // One monitor that shows a picture: its frame, where the frame lies in the client
    // area, and where the picture lies in it.
    struct Slot {
        ScreenRect monitor;  // client coordinates
        PreparedPicture picture;
        int left = 0;
        int top = 0;
        ShownPicture shown;
    };

    config::ShowModes modes_;
    Screens screens_;
    std::vector<ScreenRect> monitors_;       // those that show a picture, client coordinates
    std::vector<Slot> slots_;                // what the window paints
    std::vector<PreparedPicture> incoming_;  // during a crossfade, the frames faded to
    // "0" at own size: later pictures keep the first one's corner on the primary monitor.
    int cornerLeft_ = 0;
    int cornerTop_ = 0;
    std::size_t pictIndex_ = 0;
    std::size_t shownIndex_ = 0;  // the first picture of the set on the monitors
    Tessel tessel_;
    std::shared_ptr<PictureSource> source_;
    bool decoding_ = false;
    bool pictureShown_ = false;
    bool remakeFrames_ = false;  // the monitors changed: the same pictures, made anew
    bool cutNext_ = false;       // the next set replaces the shown one without a fade
    std::size_t requestStart_ = 0;
    bool fading_ = false;
    int fadeShare_ = 0;
    std::int64_t fadeStartMs_ = 0;
    std::shared_ptr<std::atomic<bool>> suspended_;
    bool countdownStarted_ = false;
    bool countdownCancelled_ = false;
    bool runningAnnounced_ = false;
};

}  // namespace qv::saver
