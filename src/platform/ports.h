// The small interfaces through which the portable logic reaches the operating system.
// Strings are UTF-8 throughout; the Win32 adapter converts to UTF-16 at the call.
// Adapters report what the platform did; limits and defaults that the system defines
// (buffer sizes, "none" defaults) are applied by the logic, so both adapters agree.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::platform {

// What a change to the system's settings came to: done, or not done and the system's own
// words for why (empty when it gives none). A failure is never taken for success.
struct [[nodiscard]] WriteResult {
    bool done = false;
    std::string reason;

    [[nodiscard]] static WriteResult Done() { return {true, {}}; }
    [[nodiscard]] static WriteResult Failed(std::string why) { return {false, std::move(why)}; }
    [[nodiscard]] explicit operator bool() const { return done; }
};

// ---- Registry ----------------------------------------------------------------------

enum class RegRoot { CurrentUser, LocalMachine };

enum class RegType : std::uint32_t {
    None = 0,
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Dword = 4,         // REG_DWORD
    MultiString = 7,   // REG_MULTI_SZ
};

// A value as stored. For the string types `data` is the stored text in UTF-8 with every
// character the value holds, its terminating NUL and any NUL inside it included; for the
// other types it is the raw bytes.
struct RegValue {
    RegType type = RegType::String;
    std::string data;
};

enum class RegWriteStatus { Ok, KeyFailed, ValueFailed };

// A set's outcome: the step that failed, and the system's own words for why (empty when it
// gives none).
struct [[nodiscard]] RegWrite {
    RegWriteStatus status = RegWriteStatus::Ok;
    std::string reason;

    friend bool operator==(const RegWrite& write, RegWriteStatus wanted) {
        return write.status == wanted;
    }
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens `key` (a path below the root, without a leading backslash) for reading and
    // queries one value. Missing key or value: nullopt.
    [[nodiscard]] virtual std::optional<RegValue> Query(RegRoot root, std::string_view key,
                                                        std::string_view name) = 0;
    // Creates or opens `key` and sets one value; one open and close of the key.
    [[nodiscard]] virtual RegWrite Set(RegRoot root, std::string_view key, std::string_view name,
                                       const RegValue& value) = 0;
    // Creates the key when it is missing.
    [[nodiscard]] virtual bool CreateKey(RegRoot root, std::string_view key) = 0;
};

// ---- Ini files (GetPrivateProfileString and friends) -------------------------------

class Profile {
  public:
    virtual ~Profile() = default;
    // The whole text of a key, or nullopt when the file, section or key is missing.
    // Sections and keys are matched without regard to case, as the platform does.
    [[nodiscard]] virtual std::optional<std::string> Read(std::string_view file,
                                                          std::string_view section,
                                                          std::string_view key) = 0;
    [[nodiscard]] virtual WriteResult Write(std::string_view file, std::string_view section,
                                            std::string_view key, std::string_view value) = 0;
};

// ---- Files -------------------------------------------------------------------------

// A file open for reading at any offset. Its bytes are data: nothing read is ever run.
class FileReader {
  public:
    virtual ~FileReader() = default;
    [[nodiscard]] virtual std::uint64_t Size() const = 0;
    // Up to `count` bytes from `offset` into `into`: how many were read, fewer only at the
    // end of the file; nullopt on a read error.
    [[nodiscard]] virtual std::optional<std::size_t> ReadAt(std::uint64_t offset,
                                                            std::uint8_t* into,
                                                            std::size_t count) = 0;
};

// Who else may have a file open while it is read. Readers and deleters always may;
// writers only where the reader asks for it (the .scr header reader denies none).
enum class Sharing { ReadDelete, ReadWriteDelete };

class Files {
  public:
    virtual ~Files() = default;
    [[nodiscard]] virtual std::string WindowsDirectory() = 0;
    [[nodiscard]] virtual std::string SystemDirectory() = 0;
    // The short (8.3) form of an existing path; nullopt when the platform cannot give it.
    [[nodiscard]] virtual std::optional<std::string> ShortPath(std::string_view path) = 0;
    // True when `path` names an existing file (not a folder).
    [[nodiscard]] virtual bool FileExists(std::string_view path) = 0;
    // The names (without folder) of the entries matching a wildcard pattern such as
    // "C:\dir\*.tsl", in the order the file system returns them.
    [[nodiscard]] virtual std::vector<std::string> List(std::string_view pattern) = 0;
    [[nodiscard]] virtual bool Delete(std::string_view path) = 0;
    // An existing file (not a folder) open for reading, shared with others as `sharing`
    // says; nullptr when it cannot be opened (also when another program holds it in a way
    // that sharing excludes).
    [[nodiscard]] virtual std::unique_ptr<FileReader> OpenForReading(std::string_view path,
                                                                     Sharing sharing) = 0;
    // The user's own local application data folder (%LOCALAPPDATA%, else the shell's); empty
    // when the system gives none.
    [[nodiscard]] virtual std::string LocalAppDataDirectory() = 0;
    // Makes the folder and the missing folders above it: true when it exists afterwards.
    [[nodiscard]] virtual bool CreateFolder(std::string_view path) = 0;
};

// ---- Processes and the instance mutex ----------------------------------------------

enum class Priority { Normal, High };

// How a started program or an opened address shows its first window.
enum class ShowCommand { Hide, Normal, Show };

struct ProcessLaunch {
    std::string commandLine;
    std::optional<std::string> workingDirectory;  // nullopt: inherit the caller's
    Priority priority = Priority::Normal;
    bool newConsole = true;
    ShowCommand showCommand = ShowCommand::Show;
};

class RunningProcess {
  public:
    virtual ~RunningProcess() = default;  // closes the process and thread handles
    virtual void WaitForExit() = 0;       // no time limit
    // True once the process has ended; never waits.
    [[nodiscard]] virtual bool HasEnded() = 0;
    // The system's number of the process, the one its windows report (TopLevelWindow).
    [[nodiscard]] virtual std::uint32_t Id() const = 0;
};

class Processes {
  public:
    virtual ~Processes() = default;
    // nullopt-like empty pointer when the process could not be created.
    [[nodiscard]] virtual std::unique_ptr<RunningProcess> Start(const ProcessLaunch& launch) = 0;
    // Creates (or opens) a named mutex that stays held for the life of the process.
    // Returns true when the object already existed.
    [[nodiscard]] virtual bool CreateInstanceMutex(std::string_view name) = 0;
    // A process holds the named mutex (it goes with the last process that has it).
    [[nodiscard]] virtual bool MutexExists(std::string_view name) = 0;
};

// ---- Windows and messages ----------------------------------------------------------

using WindowId = std::uintptr_t;  // an HWND's value; 0 is no window

struct TopLevelWindow {
    WindowId id = 0;
    std::string title;
    std::uint32_t processId = 0;  // the process that made it (RunningProcess::Id)
    bool visible = false;         // shown (WS_VISIBLE on it)
};

// What came of the shell's "open" of an address: done, or the system's reason why not.
struct [[nodiscard]] OpenResult {
    bool opened = false;
    std::string reason;  // empty when opened
};

class Desktop {
  public:
    virtual ~Desktop() = default;
    // Top-level windows in enumeration order, titles read with at most `maxTitleChars`
    // characters. With a desktop name, the windows of that desktop; nullopt when that
    // desktop cannot be opened.
    [[nodiscard]] virtual std::optional<std::vector<TopLevelWindow>> TopLevelWindows(
        std::optional<std::string_view> desktop, std::size_t maxTitleChars) = 0;
    [[nodiscard]] virtual std::intptr_t Send(WindowId window, unsigned message,
                                             std::uintptr_t wParam, std::intptr_t lParam) = 0;
    [[nodiscard]] virtual bool SendNotify(WindowId window, unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam) = 0;
    // WM_WININICHANGE (0, 0) to every top-level window, a hung one passed over.
    virtual void BroadcastWinIniChange() = 0;
    // The shell's "open" of a web address (ShellExecute, no parameters, no folder): the
    // user's browser shows it.
    [[nodiscard]] virtual OpenResult OpenAddress(WindowId owner, std::string_view address,
                                                 ShowCommand show) = 0;
};

// ---- System parameters and version -------------------------------------------------

class SystemSettings {
  public:
    virtual ~SystemSettings() = default;
    // GetVersionEx reports the NT platform.
    [[nodiscard]] virtual bool IsNT() = 0;
    // SystemParametersInfo with SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE.
    [[nodiscard]] virtual WriteResult SetScreenSaveActive(bool active) = 0;
    [[nodiscard]] virtual WriteResult SetScreenSaveTimeout(int seconds) = 0;
    // SPI_SCREENSAVERRUNNING, no flags.
    [[nodiscard]] virtual WriteResult SetScreenSaverRunning(bool running) = 0;
};

// ---- Message boxes -----------------------------------------------------------------

enum class Buttons { Ok, OkCancel, YesCancel };
enum class Answer { Ok, Cancel, Yes };

struct MessageBoxRequest {
    WindowId owner = 0;
    std::string text;
    std::optional<std::string> caption;  // nullopt: the system's default caption
    Buttons buttons = Buttons::Ok;
    bool warning = false;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual Answer Show(const MessageBoxRequest& request) = 0;
};

// ---- Outside libraries loaded for one call ------------------------------------------

enum class LibraryCall { Done, NoLibrary, NoFunction };

struct LibraryResult {
    LibraryCall call = LibraryCall::NoLibrary;
    std::uint32_t value = 0;  // the function's result when call == Done
};

class Libraries {
  public:
    virtual ~Libraries() = default;
    // LoadLibrary(dll), GetProcAddress("PwdChangePasswordA"), call (provider, window, 0, 0),
    // FreeLibrary.
    [[nodiscard]] virtual LibraryResult PwdChangePassword(std::string_view dllPath,
                                                          std::string_view provider,
                                                          WindowId window) = 0;
    // LoadLibrary(dll), GetProcAddress("VerifyScreenSavePwd"), call (window), FreeLibrary.
    [[nodiscard]] virtual LibraryResult VerifyScreenSavePwd(std::string_view dllPath,
                                                            WindowId window) = 0;
};

// ---- The text rules of the user's system -------------------------------------------

class TextRules {
  public:
    virtual ~TextRules() = default;
    // The order of the user's locale, case ignored (CompareStringEx with the user's default
    // locale, NORM_IGNORECASE): negative, 0 or positive.
    [[nodiscard]] virtual int Collate(std::string_view a, std::string_view b) = 0;
    // Names equal as the file system compares them: ordinal over UTF-16, case ignored
    // (CompareStringOrdinal with ignore case).
    [[nodiscard]] virtual bool SameName(std::string_view a, std::string_view b) = 0;
    // Text of the system's ANSI code page as UTF-8 (the description of a 16-bit program).
    [[nodiscard]] virtual std::string FromAnsi(std::string_view bytes) = 0;
};

// ---- Time --------------------------------------------------------------------------

class Clock {
  public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::int64_t NowMs() = 0;
    virtual void SleepMs(std::int64_t ms) = 0;
};

// Everything one program reaches, handed to the logic as one bundle of references.
struct Platform {
    Registry& registry;
    Profile& profile;
    Files& files;
    Processes& processes;
    Desktop& desktop;
    SystemSettings& system;
    Dialogs& dialogs;
    Libraries& libraries;
    Clock& clock;
    TextRules& text;
};

// The same platform with other message boxes: a window's own.
[[nodiscard]] inline Platform WithDialogs(const Platform& platform, Dialogs& dialogs) {
    return {platform.registry, platform.profile, platform.files, platform.processes,
            platform.desktop,  platform.system,  dialogs,        platform.libraries,
            platform.clock,    platform.text};
}

}  // namespace qv::platform
