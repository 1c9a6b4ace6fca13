// The picture show's window: borderless, black, topmost and covering the whole virtual
// screen (every monitor), with a child control for each monitor that shows a picture, which
// paints its frame as the show made it, clipped to its monitor. It forwards input to the show's
// rules and does what they ask; the workers reach it through a gate (show_workers.cpp). Every
// dialog it owns (the show's boxes, the password dialog) opens centred on the primary monitor,
// above the show. The hint over a link is its tooltip (show_hint.cpp).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/win32/unique_handle.h"
#include "saver/picture_show.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/window.h"
#include "ui/win32/window_dialogs.h"

namespace qv::saver::win32 {

inline constexpr wchar_t kShowWindowClass[] = L"QuorvanesShow";
inline constexpr wchar_t kPictureControlClass[] = L"QuorvanesPicture";

class PictureWindow final : public ShowWindow, private ui::win32::Window {
  public:
    // `owner` keeps the window off the taskbar in tool-window mode; `system` shows the boxes
    // that Dialogs() owns by this window.
    PictureWindow(HINSTANCE instance, HWND owner, platform::Dialogs& system);
    // False when the window or its picture could not be made.
    [[nodiscard]] bool Created() const {
        return hwnd() != nullptr && !pictures_.empty() && pictures_.front()->hwnd() != nullptr;
    }
    ~PictureWindow() override;

    // The show's boxes: owned by this window, so above it, on the primary monitor.
    [[nodiscard]] platform::Dialogs& Dialogs() { return dialogs_; }
    // Events go to `show` from now on, until Detach.
    void Attach(PictureShow& show) { show_ = &show; }
    void Detach();
    // Shows the window and runs the message loop until it is destroyed.
    int RunUntilClosed();

    platform::WindowId Id() const override;
    Screens CurrentScreens() const override;
    void Cover(const ScreenRect& area) override;
    void ShowPictures(const std::vector<MonitorFrame>& frames) override;
    void RepaintPicture() override;
    void StartFadeTimer(int ms) override;
    void StopFadeTimer() override;
    void SetCursorShape(CursorShape shape) override;
    void ShowCursor(bool show) override;
    void SetPictureHint(std::optional<std::string_view> hint) override;
    void Close() override;
    void StartActivationDelay(int ms) override;
    void StartPictureTimer(int seconds) override;
    void StartCountdown(int seconds) override;
    void StartDecode(std::shared_ptr<PictureSource> source, FrameRequest request) override;

  private:
    // A child that paints one monitor's frame; its mouse messages are the picture events
    // of its slot.
    class PictureControl final : public ui::win32::Window {
      public:
        PictureControl(PictureWindow& show, std::size_t slot) : show_(show), slot_(slot) {}
        ~PictureControl() override { Destroy(); }
        PictureControl(const PictureControl&) = delete;
        PictureControl& operator=(const PictureControl&) = delete;
        [[nodiscard]] bool Create(HINSTANCE instance, HWND parent);
        [[nodiscard]] HWND Handle() const { return hwnd(); }
        // At the frame's place and size, cut to its monitor; nullptr hides the control.
        void Place(const MonitorFrame* shown);
        void Repaint();

      private:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
        void Paint();
        PictureWindow& show_;
        std::size_t slot_;
        const imaging::Frame* frame_ = nullptr;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFailure(std::string_view what) noexcept override;
    LRESULT OnShowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The picture's events; nullopt for what the picture leaves to the default.
    std::optional<LRESULT> OnPictureMessage(UINT message, LPARAM lParam, std::size_t slot);
    void OnDestroyed();
    void OnTimer(WPARAM id);
    bool AddPicture();
    void ApplyCursor() const;
    void CreateTooltip();
    void AddTip(HWND picture) const;
    void RelayPointerToHint() const;

    HINSTANCE instance_;
    std::vector<std::unique_ptr<PictureControl>> pictures_;  // one per monitor with a picture
    HWND tooltip_ = nullptr;
    ui::win32::WindowDialogs dialogs_;
    ui::win32::OwnedDialogPlacement dialogPlacement_;
    PictureShow* show_ = nullptr;
    CursorShape cursor_ = CursorShape::Arrow;
    bool hintOn_ = false;
    bool running_ = false;  // the message loop runs: the window's end ends it
};

}  // namespace qv::saver::win32
