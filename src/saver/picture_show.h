// The picture show's rules, apart from any window: what each event of the show window does
// to the show's state, and what it asks of the window in turn. The Win32 window forwards
// its messages here and does what it is asked; everything runs on the window's thread.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "config/config_store.h"
#include "config/reg_ini_file.h"
#include "imaging/jpeg_decoder.h"
#include "platform/ports.h"
#include "saver/host.h"
#include "saver/picture_source.h"
#include "saver/tessel.h"

namespace qv::saver {

enum class CursorShape { Arrow, Hand };

// A rectangle of the virtual screen, in its coordinates (the primary monitor's top-left
// corner is 0,0; monitors left of or above it have negative coordinates).
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int Width() const { return right - left; }
    [[nodiscard]] int Height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The monitors as the show needs them: the whole virtual screen, which its window covers,
// and the primary monitor, on which the picture is centred.
struct Screens {
    ScreenRect virtualScreen;
    ScreenRect primary;
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
    // The picture control takes the frame's size and shows it (the frame outlives the call).
    virtual void ShowPicture(const imaging::Frame& frame) = 0;
    // Moves the picture to `left`, `top` of the client area; only its part inside `visible`
    // (client coordinates) is shown and takes the pointer: the rest is the black area.
    virtual void MovePicture(int left, int top, const ScreenRect& visible) = 0;
    virtual void RepaintPicture() = 0;
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
    // RunDecode from `start` and hands the picture to `PictureShow::OnPictureDecoded`.
    virtual void StartPictureTimer(int seconds) = 0;
    virtual void StartCountdown(int seconds) = 0;
    virtual void StartDecode(std::shared_ptr<PictureSource> source, std::size_t start) = 0;
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
    void OnPictureMouseMove(int x, int y);
    void OnPictureMouseDown(int x, int y);
    void OnDestroy();
    // The monitors changed (one added or switched off, a resolution changed): the window
    // covers the new virtual screen and the picture is centred on the new primary monitor.
    void OnDisplayChanged();
    // A close the show did not ask for (WM_CLOSE from outside) is refused until then.
    [[nodiscard]] bool CloseAllowed() const { return closeAllowed_; }

    // Worker steps, run on the window's thread. LoadNewPict asks for the next picture (not
    // while one is still decoding); OnPictureDecoded shows it. When no picture at all
    // decodes, the show ends like one without pictures.
    void LoadNewPict();
    void OnPictureDecoded(DecodedPicture& decoded);
    void OnCountdownTimeout();

    // Shared with the countdown worker, which may outlive the show by a moment.
    [[nodiscard]] std::shared_ptr<const std::atomic<bool>> Suspended() const { return suspended_; }

    [[nodiscard]] int ViewSeconds() const { return viewSeconds_; }
    [[nodiscard]] int MouseDelaySeconds() const { return mouseDelaySeconds_; }
    [[nodiscard]] std::size_t PictureIndex() const { return pictIndex_; }
    [[nodiscard]] const Tessel& CurrentTessel() const { return tessel_; }

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
    // Covers the virtual screen and centres the shown picture on the primary monitor.
    void LayOut();
    void PlacePicture();

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
    Screens screens_;
    int pictureLeft_ = 0;  // the picture's corner in the client area
    int pictureTop_ = 0;
    std::size_t pictIndex_ = 0;
    Tessel tessel_;
    std::shared_ptr<PictureSource> source_;
    bool decoding_ = false;
    bool pictureShown_ = false;
    imaging::Frame shown_;  // what the window paints
    std::shared_ptr<std::atomic<bool>> suspended_;
    bool countdownStarted_ = false;
    bool countdownCancelled_ = false;
    bool runningAnnounced_ = false;
};

}  // namespace qv::saver
