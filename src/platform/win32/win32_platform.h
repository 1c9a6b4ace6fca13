// The ports over real Win32: W functions at the call, UTF-8 in and out.
#pragma once

#include <memory>
#include <vector>

#include "base/win32/unique_handle.h"
#include "platform/ports.h"

namespace qv::platform::win32 {

// The SW_ value of a show command.
[[nodiscard]] constexpr int ShowWindowCommand(ShowCommand show) {
    switch (show) {
        case ShowCommand::Hide:
            return SW_HIDE;
        case ShowCommand::Normal:
            return SW_SHOWNORMAL;
        case ShowCommand::Show:
            return SW_SHOW;
    }
    return SW_SHOW;
}

class Win32Registry : public Registry {
  public:
    std::optional<RegValue> Query(RegRoot root, std::string_view key,
                                  std::string_view name) override;
    RegWrite Set(RegRoot root, std::string_view key, std::string_view name,
                 const RegValue& value) override;
    bool CreateKey(RegRoot root, std::string_view key) override;
};

class Win32Profile : public Profile {
  public:
    std::optional<std::string> Read(std::string_view file, std::string_view section,
                                    std::string_view key) override;
    WriteResult Write(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view value) override;
};

class Win32Files : public Files {
  public:
    std::string WindowsDirectory() override;
    std::string SystemDirectory() override;
    std::optional<std::string> ShortPath(std::string_view path) override;
    bool FileExists(std::string_view path) override;
    std::vector<std::string> List(std::string_view pattern) override;
    bool Delete(std::string_view path) override;
    std::unique_ptr<FileReader> OpenForReading(std::string_view path, Sharing sharing) override;
};

class Win32Processes : public Processes {
  public:
    std::unique_ptr<RunningProcess> Start(const ProcessLaunch& launch) override;
    bool CreateInstanceMutex(std::string_view name) override;
    bool MutexExists(std::string_view name) override;

  private:
    // Instance mutexes are held until the process ends; the object lives as long.
    std::vector<winbase::UniqueHandleKernel> mutexes_;
};

class Win32Desktop : public Desktop {
  public:
    std::optional<std::vector<TopLevelWindow>> TopLevelWindows(
        std::optional<std::string_view> desktop, std::size_t maxTitleChars) override;
    std::intptr_t Send(WindowId window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool SendNotify(WindowId window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
    void BroadcastWinIniChange() override;
    OpenResult OpenAddress(WindowId owner, std::string_view address, ShowCommand show) override;
};

class Win32SystemSettings : public SystemSettings {
  public:
    bool IsNT() override;
    WriteResult SetScreenSaveActive(bool active) override;
    WriteResult SetScreenSaveTimeout(int seconds) override;
    WriteResult SetScreenSaverRunning(bool running) override;
};

class Win32Libraries : public Libraries {
  public:
    LibraryResult PwdChangePassword(std::string_view dllPath, std::string_view provider,
                                    WindowId window) override;
    LibraryResult VerifyScreenSavePwd(std::string_view dllPath, WindowId window) override;
};

class Win32Clock : public Clock {
  public:
    std::int64_t NowMs() override;
    void SleepMs(std::int64_t ms) override;
};

class Win32TextRules : public TextRules {
  public:
    int Collate(std::string_view a, std::string_view b) override;
    bool SameName(std::string_view a, std::string_view b) override;
    std::string FromAnsi(std::string_view bytes) override;
};

// The real adapters as one platform. Its boxes are the window kit's (ui::win32::
// SystemDialogs), which each program's entry function makes and passes in.
class Win32Platform {
  public:
    explicit Win32Platform(Dialogs& dialogs);
    [[nodiscard]] const Platform& platform() const { return platform_; }

  private:
    Win32Registry registry_;
    Win32Profile profile_;
    Win32Files files_;
    Win32Processes processes_;
    Win32Desktop desktop_;
    Win32SystemSettings system_;
    Win32Libraries libraries_;
    Win32Clock clock_;
    Win32TextRules text_;
    Platform platform_;
};

}  // namespace qv::platform::win32
