// The tray program's window and notification icon over Win32: the hidden window of the
// class "Vantrel", its popup menu and the icon of the notification area.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "tray/tray_program.h"

namespace qv::tray::win32 {

class Win32TrayShell : public TrayShell {
  public:
    explicit Win32TrayShell(HINSTANCE instance) : instance_(instance) {}

    void SetWindow(HWND window) { window_ = window; }
    // Builds the popup menu with its five entries; false when it cannot be created.
    bool BuildMenu();
    void DestroyMenu() { menu_.reset(); }
    [[nodiscard]] HMENU Menu() const { return menu_.get(); }

    [[nodiscard]] platform::WindowId Window() const override;
    bool AddIcon(IconState state, std::string_view tip, unsigned callbackMessage) override;
    void ModifyIcon(IconState state, std::string_view tip) override;
    void SetCallbackMessage(unsigned callbackMessage) override;
    void DeleteIcon() override;
    void ShowMenu() override;
    void RequestSystemScreenSaver() override;
    void PostDestroy() override;
    void StartWorker(std::function<void()> work) override;

  private:
    HINSTANCE instance_;
    HWND window_ = nullptr;
    platform::win32::UniqueHmenu menu_;
};

// The whole program after the start-up checks: class, window, icon, message loop.
// Returns the exit code.
int RunTrayWindow(HINSTANCE instance, int showCommand, const platform::Platform& platform,
                  const std::string& installLocation);

}  // namespace qv::tray::win32
