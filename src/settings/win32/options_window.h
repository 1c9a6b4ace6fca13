// The settings window (TfrmOptions): the program's main window in the settings mode, a
// modal window without an owner, declared by its table (options_layout.h). It shows what
// FormCreate read, hands the user's choice to ApplySettings on OK, and closes (which ends
// the program) on OK or Cancel. Every box it shows, also a delayed launch's, is owned by it
// and modal to it. The lists' menus, the launches and deletes, and the links live in their
// own classes beside it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "base/win32/unique_handle.h"
#include "platform/ports.h"
#include "settings/options.h"
#include "settings/win32/controls.h"
#include "settings/win32/list_menus.h"
#include "settings/win32/options_layout.h"
#include "settings/win32/options_links.h"
#include "settings/win32/title_launches.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/window_dialogs.h"

namespace qv::settings::win32 {

inline constexpr wchar_t kOptionsWindowClass[] = L"QuorvanesOptions";

// The banner AdImage1, which the program composes into the window: made as the window's
// child `id`, its failures told through the window's boxes; nullptr when it could not be.
using BannerMaker = std::function<std::unique_ptr<ui::win32::Window>(
    platform::Dialogs& boxes, HINSTANCE instance, HWND parent, int id)>;

class OptionsWindow final : public ui::win32::DialogWindow {
  public:
    OptionsWindow(HINSTANCE instance, const platform::Platform& platform, BannerMaker banner);
    ~OptionsWindow() override;

    // The window's table, for the tests that compare it with the live window.
    static const ui::win32::DialogTable& Layout();

    // Reads what FormCreate reads, then shows the window until OK or Cancel.
    int Run();
    // Waits, with a bound, for the delayed launches still running (a Tessel preview puts
    // the stored rotation back after its show has read it).
    void WaitForLaunches() { launches_.WaitUntilDone(); }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    [[nodiscard]] int DefaultButton() const override { return id::kOk; }
    [[nodiscard]] HWND InitialFocus() const override { return Control(id::kOk); }
    void OnOk() override { btnOKClick(); }
    bool CreateOwnControl(const ui::win32::ControlLayout& row) override;
    bool OnControlsCreated() override;
    void OnLaidOut() override;
    void OnCommand(int id, int code) override;
    void FillControls();
    void LoadPictures();
    [[nodiscard]] CheckListControl& List(int id);
    [[nodiscard]] OptionsChoice ReadChoice();
    // The platform with this window's boxes.
    [[nodiscard]] platform::Platform Owned() const;
    void btnOKClick();
    void chkPasswordClick();
    void btnPasswordClick();
    void btnHelpClick();
    void btnPictureShowClick();
    void OnCheckToggled(int list, int row);
    void Launch(Command command);
    void DeleteClick();

    const platform::Platform& platform_;
    OptionsStart start_;
    // The picture show's choice as the user left it; stored only at OK.
    config::ShowModes showModes_;
    std::shared_ptr<ui::win32::WindowDialogs> dialogs_;
    BannerMaker makeBanner_;
    winbase::UniqueGdiObject logo_;
    winbase::UniqueGdiObject customer_;
    ListMenus menus_{platform_.files, start_.savers};
    OptionsLinks links_{platform_.desktop};
    TitleLaunches launches_;
    CheckListControl savers_;
    CheckListControl tessels_;
    CheckListControl preshows_;
    PictureControl logoPicture_;
    PictureControl customerPicture_;
    PanelControl panel_;
    std::unique_ptr<ui::win32::Window> banner_;  // AdImage1
};

// The settings mode of the saver host: the window until it closes, then the delayed
// launches. The exit code; 1 when the window could not be made (which the user is told).
int RunSettingsDialog(HINSTANCE instance, const platform::Platform& platform, BannerMaker banner);

}  // namespace qv::settings::win32
