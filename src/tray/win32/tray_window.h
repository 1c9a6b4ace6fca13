// The tray program's window over Win32: the hidden window of the class "Vantrel", which
// the saver host finds by its title, with the notification icon and the popup menu. It is
// the shell through which the tray program's rules act.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/win32/unique_handle.h"
#include "tray/tray_program.h"
#include "ui/win32/window.h"

namespace qv::tray::win32 {

// The shell's registered message to every top-level window when it makes the notification
// area anew (it started again after a crash): the icons it had are gone. The one registered
// message the programs use; their own private messages are fixed WM_USER numbers.
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";

// The popup menu with its five entries; empty when it cannot be created.
winbase::UniqueHmenu BuildTrayMenu();

class TrayWindow : public ui::win32::Window, public TrayShell {
  public:
    TrayWindow(HINSTANCE instance, const platform::Platform& platform, std::string installLocation);
    ~TrayWindow() override;

    // Creates the window (which adds the icon and starts the status refresh) and runs the
    // program until the window goes; returns the exit code. A window that cannot be created
    // is reported in the "Register Failed." box. The object must outlive the workers it
    // started: keep it until the process ends.
    int Run(int showCommand);

    [[nodiscard]] platform::WindowId Window() const override;
    bool AddIcon(IconState state, std::string_view tip, unsigned callbackMessage) override;
    bool ModifyIcon(IconState state, std::string_view tip) override;
    bool SetCallbackMessage(unsigned callbackMessage) override;
    void DeleteIcon() override;
    void ShowMenu() override;
    void RequestSystemScreenSaver() override;
    void DestroyWindow() override;
    void StartWorker(std::function<void()> work) override;
    bool PostToWindowThread(const std::function<void()>& step) override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate();
    void OnDestroy();
    [[nodiscard]] HICON StateIcon(IconState state) const;

    HINSTANCE instance_;
    const platform::Platform& platform_;
    TrayProgram program_;
    winbase::UniqueHicon activeIcon_;
    winbase::UniqueHicon inactiveIcon_;
    winbase::UniqueHmenu menu_;
    UINT taskbarCreated_;   // 0 when the system could not register it: then never seen
    bool running_ = false;  // the message loop runs: the window's end ends it
};

}  // namespace qv::tray::win32
