// The settings window (TfrmOptions): the program's main window in the settings mode, a
// modal window without an owner. It shows what FormCreate read, hands the user's choice to
// ApplySettings on OK, and closes (which ends the program) on OK or Cancel. Every box it
// shows, also a delayed launch's, is owned by it and modal to it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "adbanner/win32/ad_image.h"
#include "platform/ports.h"
#include "settings/options.h"
#include "settings/title_actions.h"
#include "settings/win32/controls.h"
#include "settings/win32/options_layout.h"
#include "ui/win32/modal_window.h"
#include "ui/win32/window_dialogs.h"
#include "ui/win32/window_thread.h"
#include "base/win32/unique_handle.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kOptionsWindowClass[] = L"QuorvanesOptions";

class OptionsWindow final : public ui::win32::ModalWindow {
  public:
    OptionsWindow(HINSTANCE instance, const platform::Platform& platform);
    ~OptionsWindow() override;

    // Reads what FormCreate reads, then shows the window until OK or Cancel.
    int Run();
    // Waits, with a bound, for the delayed launches still running (a Tessel preview puts
    // the stored rotation back after its show has read it).
    void WaitForLaunches();

  private:
    bool CreateModal(HWND owner) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    [[nodiscard]] int DefaultButton() const override { return id::kOk; }
    [[nodiscard]] HWND InitialFocus() const override { return Control(id::kOk); }
    void OnOk() override { btnOKClick(); }
    void OnDpiChanged(UINT dpi) override;
    [[nodiscard]] bool CreateControls();
    [[nodiscard]] bool CreateControl(const ControlLayout& control);
    void LayOut();  // places and fonts for the window's DPI
    void CreateFonts();
    void FillControls();
    void LoadPictures();
    void AddHint(HWND control, std::string_view text);
    [[nodiscard]] HWND Control(int id) const { return ::GetDlgItem(hwnd(), id); }
    [[nodiscard]] CheckListControl& List(int id);
    [[nodiscard]] OptionsChoice ReadChoice();
    // The platform with this window's boxes.
    [[nodiscard]] platform::Platform Owned() const;
    void OnCommand(int id, int code);
    void btnOKClick();
    void chkPasswordClick();
    void btnPasswordClick();
    void btnHelpClick();
    void OpenLink(std::string_view address);
    bool OnSetCursor(HWND under, int hitTest);
    // A press on a check list: the Preshow row under it, and a right press's menu.
    void OnListPress(int list, bool rightButton, LPARAM point);
    void OnListMenuKey(int list);
    void OpenRowMenu(int list, const CheckList& rows, int row, POINT inList);
    void OnCheckToggled(int list, int row);
    void Launch(Command command);
    void DeleteClick();
    void CreateMenus();
    [[nodiscard]] HMENU MenuOf(TitleKind kind) const;

    HINSTANCE instance_;
    const platform::Platform& platform_;
    OptionsStart start_;
    UINT dpi_ = 96;
    winbase::UniqueGdiObject font_;
    winbase::UniqueGdiObject boldFont_;
    winbase::UniqueGdiObject smallFont_;
    winbase::UniqueGdiObject logo_;
    winbase::UniqueGdiObject customer_;
    HWND tooltip_ = nullptr;
    winbase::UniqueHmenu saverMenu_;
    winbase::UniqueHmenu tesselMenu_;
    winbase::UniqueHmenu preshowMenu_;
    Target target_;                    // the row last right-clicked
    std::optional<int> preshowIndex_;  // FPreshowIndex
    bool handCursor_ = false;          // the application-wide cursor is the hand
    std::shared_ptr<ui::win32::WindowDialogs> dialogs_;
    // Delayed launches still running: the program waits for them before it ends.
    ui::win32::PendingWork launches_;
    CheckListControl savers_;
    CheckListControl tessels_;
    CheckListControl preshows_;
    PictureControl logoPicture_;
    PictureControl customerPicture_;
    PanelControl panel_;
    // The one Tessel preview: OK settles it first, and the window's end puts back whatever
    // is still out (after the program's wait for the launches).
    TesselPreviewOwner previews_{platform_.registry};
    adbanner::win32::AdImage banner_;  // AdImage1
};

// The settings mode of the saver host: the window until it closes, then the delayed
// launches. The exit code; 1 when the window could not be made (which the user is told).
int RunSettingsDialog(HINSTANCE instance, const platform::Platform& platform);

}  // namespace qv::settings::win32
