// Helpers for the tests that run under Wine: starting the real programs, finding their
// message boxes, and resetting the configuration between scenarios.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/win32/unique_handle.h"

namespace qv::platform {
struct Platform;
}

namespace qv::wintest {

using namespace std::chrono_literals;

// A program built beside this test (same bin folder).
std::wstring SiblingPath(const wchar_t* fileName);

// The command line that starts the Quorvanes.scr built beside this test.
std::wstring SaverHostCommand(const std::wstring& arguments);

struct Child {
    winbase::UniqueHandleKernel process;
    DWORD pid = 0;
};

// Starts `commandLine` (in `folder` when given); an empty process handle when it could not
// be started.
Child StartProgram(const std::wstring& commandLine, const wchar_t* folder = nullptr);
std::optional<DWORD> WaitForExit(const Child& child, std::chrono::milliseconds limit);
// Ends a child that a scenario left running, and waits for it.
void EndIfRunning(const Child& child);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// A message box (dialog class #32770) of the process `pid` shown now.
std::optional<MessageBoxSeen> MessageBoxNow(DWORD pid);
// Waits for a message box of the process `pid`.
std::optional<MessageBoxSeen> WaitForMessageBox(DWORD pid, std::chrono::milliseconds limit);
// Presses the box's button with the given id (IDOK, IDCANCEL, ...).
void Answer(const MessageBoxSeen& box, int buttonId);

// Waits for the child's end, looking for its message boxes all the while (a box keeps a
// process up, so one that ended without showing any was seen showing none): its exit code,
// nullopt when it did not end in time, and the first box seen.
struct EndWatched {
    std::optional<DWORD> exitCode;
    std::optional<MessageBoxSeen> box;
};
EndWatched WaitForExitWatchingBoxes(const Child& child, std::chrono::milliseconds limit);

// Times on the system's clock, in milliseconds since 1601 (FILETIME), which every process of
// the prefix shares: a process's own start and end, as the system recorded them, and now.
std::int64_t SystemTimeMs();
std::optional<std::int64_t> ProcessStartMs(HANDLE process);
std::optional<std::int64_t> ProcessEndMs(HANDLE process);

// What another process may send any window: the private message ranges after WM_USER and
// WM_APP, posted and sent, with parameters that point nowhere.
void SendJunkPrivateMessages(HWND window);

// Removes HKCU\Software\Quorvanes and the machine key, so each scenario starts clean.
void ResetConfiguration();

std::string Utf8(const std::wstring& text);

}  // namespace qv::wintest

namespace qv::wintest {

struct WindowLayout {
    std::wstring title;
    DWORD style = WS_POPUP;  // hidden unless WS_VISIBLE
    RECT bounds{};
};

// A top-level window of the class STATIC, on a thread of its own that pumps messages, for
// as long as the object lives.
class ScopedWindow {
  public:
    explicit ScopedWindow(const WindowLayout& layout);
    ~ScopedWindow();
    ScopedWindow(const ScopedWindow&) = delete;
    ScopedWindow& operator=(const ScopedWindow&) = delete;
    [[nodiscard]] HWND hwnd() const { return window_; }
    void Destroy();

  private:
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    winbase::UniqueHandleKernel thread_;
    winbase::UniqueHandleKernel ready_;
};

// A hidden window with the tray program's title.
class ScopedTrayWindow : public ScopedWindow {
  public:
    ScopedTrayWindow();
};

// A fresh folder under the temporary folder, removed with its files when the object goes.
class TempFolder {
  public:
    explicit TempFolder(const std::wstring& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

void SetMachineValue(const wchar_t* name, const std::wstring& text);
void SetUserValue(const wchar_t* name, const std::wstring& text);
std::wstring UserValue(const wchar_t* name);
void WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);
std::wstring ShortPathOf(const std::wstring& path);

// A screen copy taken with GDI, top-down, 0x00RRGGBB per pixel; its first pixel is the
// point left, top of the virtual screen.
struct Screenshot {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    [[nodiscard]] std::array<int, 3> At(int x, int y) const;
    // Each channel within 24 of `colour`.
    [[nodiscard]] bool Near(int x, int y, std::array<std::uint8_t, 3> colour) const;
};

// The primary monitor.
Screenshot CaptureScreen();
// Every monitor: the whole virtual screen.
Screenshot CaptureVirtualScreen();
// The primary monitor once `window` shows its text (dark pixels within it) and two captures
// in a row agree: its painting is over. The last capture after 10 s at the latest.
Screenshot CapturePainted(HWND window);
// Kept beside the tests for a look afterwards: screenshots\NAME.bmp.
void SaveScreenshot(const Screenshot& shot, const std::wstring& name);

// The processes running a program of this file name.
std::vector<DWORD> ProcessesNamed(const wchar_t* exe);

// Polls `done` every 50 ms until it holds or the time is up; the last answer.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
// The same for a thread whose windows, or another thread's, need its messages meanwhile:
// runs this thread's messages until `done` holds or the time is up; the last answer.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Runs `body` on a thread of this process, with a Win32 platform of its own: for a program's
// window whose handles (a cursor, a rectangle a message points to) are only this process's
// to read. This thread opens the display first: Wine can deadlock two threads that open it
// at once while its desktop starts. The thread is detached, so that a window that does not
// end is reported, not waited for.
class InProcessThread {
  public:
    explicit InProcessThread(std::function<void(const platform::Platform&)> body);
    InProcessThread(const InProcessThread&) = delete;
    InProcessThread& operator=(const InProcessThread&) = delete;
    [[nodiscard]] bool Ended() const;
    // Runs this thread's messages until `body` has returned, at most `limit`.
    [[nodiscard]] bool WaitForEnd(std::chrono::milliseconds limit) const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

// The first top-level window of the class that belongs to the process `pid`.
HWND WindowOf(DWORD pid, const wchar_t* className);
// The text of a control of another process: GetWindowText gives only a caption there.
std::wstring ControlText(HWND control);

// The virtual screen and the primary monitor, as the system reports them now.
RECT VirtualScreen();
RECT PrimaryMonitor();

// Runs shell commands on the Linux side of Wine, on this session's X display (xdotool,
// xrandr, xsetroot), and waits for them; true when they ended with 0. Wine cannot wait for
// a Linux process, so the script leaves its exit code in a file that is waited for.
bool RunOnX(const std::string& commands, std::chrono::milliseconds limit = 30s);
// xdotool, with X root coordinates translated from the virtual screen's.
bool PointerTo(int x, int y);
bool XdoTool(const std::string& arguments);

// The browser-link stand-in (QVBrowserLink.exe --no-open), logging what it is told to open.
class BrowserLinkStandIn {
  public:
    explicit BrowserLinkStandIn(const std::wstring& log) : log_(log) {
        process_ = StartProgram(L"\"" + SiblingPath(L"QVBrowserLink.exe") +
                                L"\" --no-open --log \"" + log + L"\"");
        (void)WaitUntil([] { return ::FindWindowW(nullptr, L"Quorvanes BrowserLink") != nullptr; },
                        20s);
    }
    ~BrowserLinkStandIn() { EndIfRunning(process_); }
    BrowserLinkStandIn(const BrowserLinkStandIn&) = delete;
    BrowserLinkStandIn& operator=(const BrowserLinkStandIn&) = delete;
    [[nodiscard]] std::string Log() const { return ReadFile(log_); }
    // Returns once the stand-in has handled every message sent to it before (sent and
    // notified messages are handled in the order they came): what the log holds then is all
    // that a program that has ended gave it.
    void Settle() const {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(::FindWindowW(nullptr, L"Quorvanes BrowserLink"), WM_NULL, 0, 0,
                              SMTO_NORMAL, 20000, &result);
    }

  private:
    std::wstring log_;
    Child process_;
};

// https addresses opened by the shell go to `program` ("%1" its argument) for the life of the
// object, by default the recording program, which writes them to `recordFile`; the prefix's
// own association (winebrowser) comes back afterwards. Wine's shell reads the association
// from HKEY_CLASSES_ROOT, not from the user's classes.
class ScopedWebRecorder {
  public:
    explicit ScopedWebRecorder(const std::wstring& recordFile,
                               const std::wstring& program = SiblingPath(L"RecordingPreshow.exe")) {
        ::SetEnvironmentVariableW(L"QV_RECORD_FILE", recordFile.c_str());
        previous_ = Command();
        SetCommand(L"\"" + program + L"\" \"%1\"");
    }
    ~ScopedWebRecorder() {
        SetCommand(previous_);
        ::SetEnvironmentVariableW(L"QV_RECORD_FILE", nullptr);
    }
    ScopedWebRecorder(const ScopedWebRecorder&) = delete;
    ScopedWebRecorder& operator=(const ScopedWebRecorder&) = delete;

  private:
    static constexpr wchar_t kCommandKey[] = L"https\\shell\\open\\command";

    static std::wstring Command() {
        wchar_t text[1024] = {};
        DWORD size = sizeof(text) - sizeof(wchar_t);
        ::RegGetValueW(HKEY_CLASSES_ROOT, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, text,
                       &size);
        return text;
    }
    static void SetCommand(const std::wstring& command) {
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, kCommandKey, nullptr, REG_SZ, command.c_str(),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }

    std::wstring previous_;
};

// system.ini [boot] SCRNSAVE.EXE, the system screen saver; "<missing>" without the key.
std::wstring ScrnSave();
void SetScrnSave(const std::wstring& value);

}  // namespace qv::wintest
