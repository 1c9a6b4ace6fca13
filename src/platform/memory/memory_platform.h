// An in-memory platform for native tests: every port kept in plain containers, with
// switches to make calls fail, and a record of what the logic asked the system to do.
// Each port is defined in a source of its own (memory_files.cpp, ...), the text rules with
// their header in memory_text.h.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_text.h"
#include "platform/ports.h"

namespace qv::platform::memory {

// Keys, value names, sections and file paths compare without regard to ASCII case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

class MemoryRegistry : public Registry {
  public:
    std::optional<RegValue> Query(RegRoot root, std::string_view key,
                                  std::string_view name) override;
    RegWrite Set(RegRoot root, std::string_view key, std::string_view name,
                 const RegValue& value) override;
    bool CreateKey(RegRoot root, std::string_view key) override;

    // Test helpers.
    void SetString(RegRoot root, std::string_view key, std::string_view name,
                   std::string_view text);
    [[nodiscard]] bool HasKey(RegRoot root, std::string_view key) const;
    [[nodiscard]] std::size_t WriteCount() const { return writes_; }

    // The reason a refused set gives, as the system words a refusal.
    static constexpr std::string_view kRefusedReason = "Access is denied.";
    bool failKeyCreation = false;
    std::set<std::string, NoCaseLess> failingValueNames;
    // The names of the values written through Set, in the order written.
    std::vector<std::string> writtenNames;

  private:
    using Values = std::map<std::string, RegValue, NoCaseLess>;
    static std::string KeyId(RegRoot root, std::string_view key);
    std::map<std::string, Values, NoCaseLess> keys_;
    std::size_t writes_ = 0;
};

class MemoryProfile : public Profile {
  public:
    std::optional<std::string> Read(std::string_view file, std::string_view section,
                                    std::string_view key) override;
    WriteResult Write(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view value) override;

    [[nodiscard]] std::size_t WriteCount() const { return writes_; }
    // Files that cannot be written, and the reason the system gives.
    std::map<std::string, std::string, NoCaseLess> unwritable;

  private:
    std::map<std::string, std::map<std::string, std::string, NoCaseLess>, NoCaseLess> entries_;
    std::size_t writes_ = 0;
};

class MemoryFiles : public Files {
  public:
    std::string WindowsDirectory() override { return windowsDir; }
    std::string SystemDirectory() override { return systemDir; }
    std::optional<std::string> ShortPath(std::string_view path) override;
    bool FileExists(std::string_view path) override;
    std::vector<std::string> List(std::string_view pattern) override;
    bool Delete(std::string_view path) override;
    std::unique_ptr<FileReader> OpenForReading(std::string_view path, Sharing sharing) override;

    // Paths the system will not delete (held open, read only), in lower case.
    std::set<std::string> undeletable;
    // Files in the order a directory listing returns them.
    void AddFile(std::string_view path, std::string_view shortPath = {});
    void AddFolder(std::string_view path);
    // A file with these bytes (added to the listing when it is not there yet).
    void AddFileBytes(std::string_view path, std::vector<std::uint8_t> bytes);

    // Every ReadAt on the files opened here, in order: how often and how much the logic read.
    struct FileRead {
        std::uint64_t offset = 0;
        std::size_t count = 0;
    };
    [[nodiscard]] const std::vector<FileRead>& Reads() const { return *reads_; }
    void ClearReads() { reads_->clear(); }

    // Files another program holds open for writing: they open only for a reader that
    // shares writing (Sharing::ReadWriteDelete), as the system does.
    std::set<std::string, NoCaseLess> heldForWriting;

    std::string windowsDir = "C:\\WINDOWS";
    std::string systemDir = "C:\\WINDOWS\\SYSTEM";

  private:
    struct Entry {
        std::string path;
        std::string shortPath;
        bool folder = false;
    };
    const Entry* Find(std::string_view path) const;
    std::vector<Entry> entries_;
    std::map<std::string, std::shared_ptr<const std::vector<std::uint8_t>>, NoCaseLess> bytes_;
    // Shared with the readers, which may outlive a test's look at it.
    std::shared_ptr<std::vector<FileRead>> reads_ = std::make_shared<std::vector<FileRead>>();
};

class MemoryProcesses : public Processes {
  public:
    std::unique_ptr<RunningProcess> Start(const ProcessLaunch& launch) override;
    bool CreateInstanceMutex(std::string_view name) override;
    bool MutexExists(std::string_view name) override {
        return existingMutexes.count(std::string(name)) != 0;
    }

    struct Record {
        ProcessLaunch launch;
        bool waited = false;
        std::uint32_t id = 0;  // RunningProcess::Id: 1000 and up, in the order started
        bool ended = false;    // set by a test: the process has ended
    };
    std::vector<Record> started;
    // Command lines (their first word) that cannot be started.
    std::function<bool(const ProcessLaunch&)> refuse;
    // Runs while a started process is waited for: lets a test act "during" the child.
    std::function<void(const ProcessLaunch&)> whileRunning;
    std::set<std::string> existingMutexes;
};

class MemoryDesktop : public Desktop {
  public:
    std::optional<std::vector<TopLevelWindow>> TopLevelWindows(
        std::optional<std::string_view> desktop, std::size_t maxTitleChars) override;
    std::intptr_t Send(WindowId window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool SendNotify(WindowId window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
    void BroadcastWinIniChange() override { ++winIniBroadcasts; }
    OpenResult OpenAddress(WindowId, std::string_view address, ShowCommand show) override {
        openedAddresses.emplace_back(address, show);
        return openResult;
    }

    struct Message {
        enum class Kind { Send, Notify } kind;
        WindowId window;
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<TopLevelWindow> windows;
    bool defaultDesktopOpens = true;
    std::vector<std::optional<std::string>> enumeratedDesktops;
    std::vector<Message> messages;
    int winIniBroadcasts = 0;
    std::vector<std::pair<std::string, ShowCommand>> openedAddresses;
    OpenResult openResult{true, {}};  // what every open reports
};

class MemorySystemSettings : public SystemSettings {
  public:
    bool IsNT() override { return nt; }
    WriteResult SetScreenSaveActive(bool active) override;
    WriteResult SetScreenSaveTimeout(int seconds) override;
    WriteResult SetScreenSaverRunning(bool running) override;

    bool nt = true;
    // Set: that setting is refused, with this reason.
    std::optional<std::string> activeRefused;
    std::optional<std::string> timeoutRefused;
    std::optional<bool> screenSaveActive;
    std::optional<int> screenSaveTimeout;
    std::vector<bool> screenSaverRunningCalls;
};

class MemoryDialogs : public Dialogs {
  public:
    Answer Show(const MessageBoxRequest& request) override;

    std::vector<MessageBoxRequest> shown;
    std::deque<Answer> answers;  // consumed in order; Ok (or Cancel) when empty
    [[nodiscard]] std::vector<std::string> Texts() const;
};

class MemoryLibraries : public Libraries {
  public:
    LibraryResult PwdChangePassword(std::string_view dllPath, std::string_view provider,
                                    WindowId window) override;
    LibraryResult VerifyScreenSavePwd(std::string_view dllPath, WindowId window) override;

    struct Call {
        std::string function;
        std::string dllPath;
        std::string provider;
        WindowId window = 0;
    };
    std::vector<Call> calls;
    std::set<std::string, NoCaseLess> presentLibraries;  // full paths that load
    std::set<std::string> presentFunctions;
    std::deque<std::uint32_t> verifyResults;  // VerifyScreenSavePwd answers, in order
};

class FakeClock : public Clock {
  public:
    std::int64_t NowMs() override { return now; }
    void SleepMs(std::int64_t ms) override;

    std::int64_t now = 0;
    std::function<void(std::int64_t)> onSleep;  // called after time moved on
};

// All of the above, wired into one Platform.
class MemoryPlatform {
  public:
    MemoryPlatform();
    [[nodiscard]] const Platform& platform() const { return platform_; }

    MemoryRegistry registry;
    MemoryProfile profile;
    MemoryFiles files;
    MemoryProcesses processes;
    MemoryDesktop desktop;
    MemorySystemSettings system;
    MemoryDialogs dialogs;
    MemoryLibraries libraries;
    FakeClock clock;
    MemoryTextRules text;

  private:
    Platform platform_;
};

}  // namespace qv::platform::memory
