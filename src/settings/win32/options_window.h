// The settings window (TfrmOptions): the program's main window in the settings mode. It
// shows what FormCreate read, hands the user's choice to ApplySettings on OK, and closes
// (which ends the program) on OK or Cancel.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>

#include "adbanner/win32/ad_image.h"
#include "platform/ports.h"
#include "platform/win32/unique_handle.h"
#include "settings/options.h"
#include "settings/title_actions.h"
#include "ui/win32/window.h"
#include "ui/win32/window_thread.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kOptionsWindowClass[] = L"QuorvanesOptions";

class OptionsWindow final : public ui::win32::Window {
  public:
    OptionsWindow(HINSTANCE instance, const platform::Platform& platform);
    ~OptionsWindow() override;

    // Creates the window with what FormCreate read and runs it until it closes; the exit
    // code. False from Create when the window cannot be made.
    int Run();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CreateWindowAndControls();
    void CreateControls();
    void LayOut();  // places and fonts for the window's DPI
    void CreateFonts();
    void FillControls();
    void LoadPictures();
    void AddHint(HWND control, std::string_view text);
    [[nodiscard]] HWND Control(int id) const { return ::GetDlgItem(hwnd(), id); }
    [[nodiscard]] OptionsChoice ReadChoice() const;
    void OnCommand(int id, int code);
    void btnOKClick();
    void chkPasswordClick();
    void btnPasswordClick();
    void btnHelpClick();
    void OpenLink(std::string_view address);
    bool OnSetCursor(HWND under, int hitTest);
    // A press on a check list: the Preshow row under it, and a right press's menu.
    void OnListPress(int list, bool rightButton, LPARAM point);
    void OnCheckToggled(int list, int row);
    void Launch(Command command);
    void DeleteClick();
    void CreateMenus();
    [[nodiscard]] HMENU MenuOf(TitleKind kind) const;

    HINSTANCE instance_;
    const platform::Platform& platform_;
    OptionsStart start_;
    UINT dpi_ = 96;
    platform::win32::UniqueGdiObject font_;
    platform::win32::UniqueGdiObject boldFont_;
    platform::win32::UniqueGdiObject smallFont_;
    platform::win32::UniqueGdiObject logo_;
    platform::win32::UniqueGdiObject customer_;
    HWND tooltip_ = nullptr;
    platform::win32::UniqueHmenu saverMenu_;
    platform::win32::UniqueHmenu tesselMenu_;
    platform::win32::UniqueHmenu preshowMenu_;
    Target target_;                    // the row last right-clicked
    std::optional<int> preshowIndex_;  // FPreshowIndex
    bool handCursor_ = false;          // the application-wide cursor is the hand
    std::shared_ptr<ui::win32::WindowThreadGate> gate_;
    // Delayed launches still running: the program waits for them (a Tessel preview restores
    // the stored rotation two seconds after its launch).
    std::shared_ptr<std::atomic<int>> launches_ = std::make_shared<std::atomic<int>>(0);
    // The one Tessel preview: OK settles it first, and the window's end puts back whatever
    // is still out (after the program's wait for the launches).
    TesselPreviewOwner previews_{platform_.registry};
    adbanner::win32::AdImage banner_;  // AdImage1
};

}  // namespace qv::settings::win32
