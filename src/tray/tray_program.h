// The tray program's rules, apart from the window: its start-up checks, the state of the
// manager, the icon, the menu commands and launch-now. The Win32 window procedure forwards
// its cases here; the shell and the window are reached through TrayShell.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "config/config_store.h"
#include "platform/ports.h"

namespace qv::tray {

enum class IconState { Active, Inactive };  // "TRAYICON" and "TRAYICONOFF"

// What the tray program asks of the notification area and of its own window.
class TrayShell {
  public:
    virtual ~TrayShell() = default;
    [[nodiscard]] virtual platform::WindowId Window() const = 0;
    // Shell_NotifyIcon, icon id 0, each true when the notification area took it. The tip is
    // cut to 63 characters by the caller.
    [[nodiscard]] virtual bool AddIcon(IconState state, std::string_view tip,
                                       unsigned callbackMessage) = 0;
    [[nodiscard]] virtual bool ModifyIcon(IconState state, std::string_view tip) = 0;
    [[nodiscard]] virtual bool SetCallbackMessage(unsigned callbackMessage) = 0;
    virtual void DeleteIcon() = 0;
    // The popup menu, its right edge at the cursor as it was before the queue was emptied.
    virtual void ShowMenu() = 0;
    // SetForegroundWindow, then WM_SYSCOMMAND / SC_SCREENSAVE sent to the window: the
    // system starts its screen saver.
    virtual void RequestSystemScreenSaver() = 0;
    // Destroys the window, which deletes the icon and ends the program.
    virtual void DestroyWindow() = 0;
    // Runs `work` on a thread of its own that ends with the process at the latest.
    virtual void StartWorker(std::function<void()> work) = 0;
    // On a worker: queues `step` for the window's thread and goes on without waiting (the
    // step owns what it captures, or reaches the program, which lives with the process).
    // False when the window is gone (or going): the step will not run, and the worker ends.
    virtual bool PostToWindowThread(const std::function<void()>& step) = 0;
};

// The shared operations of the tray program.
class TrayUtilities {
  public:
    explicit TrayUtilities(const platform::Platform& platform);
    TrayUtilities(const TrayUtilities&) = delete;
    TrayUtilities& operator=(const TrayUtilities&) = delete;

    [[nodiscard]] std::string ReadUserValue(std::string_view name) const;
    [[nodiscard]] std::string ReadMachineValue(std::string_view name) const;
    // A failed write is reported in a box; the caller goes on.
    void WriteUserValue(std::string_view name, std::string_view text) const;
    void ShowManagerError(platform::WindowId owner, std::string_view text) const;

    // The system screen saver is exactly the short form of the saver host's path. A saver
    // host without a short form (it is not there) is never the active one.
    [[nodiscard]] bool IsManagerActive() const;
    [[nodiscard]] IconState StateIcon() const;
    [[nodiscard]] std::string StateTip() const;
    // Points the system screen saver at the saver host (when enabling and something is
    // selected) or clears it; screen saving stays on either way. A saver host without a
    // short form clears it too: system.ini never names a program that is not there. What
    // the system refused is told in one box owned by `owner`.
    void SetSystemSaver(bool enable, platform::WindowId owner = 0) const;
    // "/s": the system's screen saver now; anything else: the saver host's settings.
    void LaunchWithSwitch(TrayShell& shell, std::string_view launchSwitch,
                          const std::string& installLocation) const;

    // System screen savers or Tessels are selected (Saver or Tessel not empty).
    [[nodiscard]] bool SomethingSelected() const;

  private:
    [[nodiscard]] std::optional<std::string> SaverHostShortPath() const;

    const platform::Platform& platform_;
    config::ConfigStore store_;
};

enum class StartupOutcome { Run, AlreadyRunning, NoInstallLocation, Disabled };

struct Startup {
    StartupOutcome outcome = StartupOutcome::Run;
    std::string installLocation;  // StartInstallLocation: InstallLocation as read at start-up
};

// Start-up up to the window: the mutex, the trailing "r", InstallLocation and TrayIconOn.
Startup RunTrayStartup(const platform::Platform& platform, std::string_view commandLine);

class TrayProgram {
  public:
    TrayProgram(const platform::Platform& platform, TrayShell& shell, std::string installLocation);

    // WM_CREATE after the menu: adds the icon and starts the status refresh. False when the
    // icon cannot be added, which fails the window's creation.
    bool AddIconAndStartRefresh();
    // WM_TRAYNOTIFY: true when handled without the default handling (the menu).
    bool OnTrayNotify(unsigned mouseMessage);
    void OnCommand(unsigned command);
    void OnDestroy();
    // The notification area was made anew (the shell's "TaskbarCreated"): the icon is added
    // again with the state, tip and callback it has now.
    void OnTaskbarCreated();
    // The message loop ended; `failed` when it could not read the queue. The window is
    // destroyed then, so that no icon stays behind in the notification area.
    void OnMessageLoopEnd(bool failed);

    void RequestLaunchNow();
    [[nodiscard]] bool LaunchPending() const { return launchPending_.load(); }

    // Worker bodies, run by StartWorker's threads; they reach the icon, the boxes and the
    // foreground window only through PostToWindowThread.
    void DelayedLaunch();
    // Every ten minutes, `rounds` times or (nullopt) for as long as the window lives.
    void RefreshStatus(std::optional<int> rounds = std::nullopt);

  private:
    void Settings();
    void Restart();
    void Shutdown();
    // The icon shows the manager's state. A change the notification area refuses (it lost
    // the icon) adds the icon again, once; an add that fails too is tried again at the next
    // refresh. Window thread only, as the members below.
    void RefreshIcon();
    void SetClicksAccepted(bool accepted);
    void AddIconAgain();

    const platform::Platform& platform_;
    TrayShell& shell_;
    TrayUtilities utilities_;
    std::string installLocation_;
    std::atomic<bool> launchPending_{false};
    unsigned callbackMessage_;
    bool iconMissing_ = false;
};

}  // namespace qv::tray
