#include "platform/memory/memory_platform.h"

#include <algorithm>

#include "common/text.h"

namespace qv::platform::memory {

namespace {

// Wildcard match of a file name, '*' and '?' as the platform uses them, without case.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string_view::npos;
    std::size_t mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::pair<std::string_view, std::string_view> SplitFolder(std::string_view path) {
    const auto slash = path.rfind('\\');
    if (slash == std::string_view::npos) {
        return {{}, path};
    }
    return {path.substr(0, slash), path.substr(slash + 1)};
}

class MemoryRunningProcess : public RunningProcess {
  public:
    MemoryRunningProcess(MemoryProcesses& owner, std::size_t index)
        : owner_(owner), index_(index) {}
    void WaitForExit() override {
        owner_.started[index_].waited = true;
        if (owner_.whileRunning) {
            owner_.whileRunning(owner_.started[index_].launch);
        }
    }
    bool HasEnded() override { return owner_.started[index_].ended; }
    std::uint32_t Id() const override { return owner_.started[index_].id; }

  private:
    MemoryProcesses& owner_;
    std::size_t index_;
};

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return LowerAscii(x) < LowerAscii(y);
    });
}

// ---- MemoryRegistry ----

std::string MemoryRegistry::KeyId(RegRoot root, std::string_view key) {
    return (root == RegRoot::CurrentUser ? "HKCU\\" : "HKLM\\") + std::string(key);
}

std::optional<RegValue> MemoryRegistry::Query(RegRoot root, std::string_view key,
                                              std::string_view name) {
    const auto k = keys_.find(KeyId(root, key));
    if (k == keys_.end()) {
        return std::nullopt;
    }
    const auto v = k->second.find(std::string(name));
    if (v == k->second.end()) {
        return std::nullopt;
    }
    return v->second;
}

RegWriteStatus MemoryRegistry::Set(RegRoot root, std::string_view key, std::string_view name,
                                   const RegValue& value) {
    if (failKeyCreation && !HasKey(root, key)) {
        return RegWriteStatus::KeyFailed;
    }
    auto& values = keys_[KeyId(root, key)];
    if (failingValueNames.count(std::string(name)) != 0) {
        return RegWriteStatus::ValueFailed;
    }
    values[std::string(name)] = value;
    ++writes_;
    writtenNames.emplace_back(name);
    return RegWriteStatus::Ok;
}

bool MemoryRegistry::CreateKey(RegRoot root, std::string_view key) {
    if (HasKey(root, key)) {
        return true;
    }
    if (failKeyCreation) {
        return false;
    }
    keys_[KeyId(root, key)];
    return true;
}

void MemoryRegistry::SetString(RegRoot root, std::string_view key, std::string_view name,
                               std::string_view text) {
    keys_[KeyId(root, key)][std::string(name)] =
        RegValue{RegType::String, std::string(text) + '\0'};
}

bool MemoryRegistry::HasKey(RegRoot root, std::string_view key) const {
    return keys_.count(KeyId(root, key)) != 0;
}

// ---- MemoryProfile ----

std::optional<std::string> MemoryProfile::Read(std::string_view file, std::string_view section,
                                               std::string_view key) {
    const auto s = entries_.find(std::string(file) + "|" + std::string(section));
    if (s == entries_.end()) {
        return std::nullopt;
    }
    const auto k = s->second.find(std::string(key));
    if (k == s->second.end()) {
        return std::nullopt;
    }
    return k->second;
}

WriteResult MemoryProfile::Write(std::string_view file, std::string_view section,
                                 std::string_view key, std::string_view value) {
    if (const auto refused = unwritable.find(std::string(file)); refused != unwritable.end()) {
        return WriteResult::Failed(refused->second);
    }
    entries_[std::string(file) + "|" + std::string(section)][std::string(key)] = std::string(value);
    ++writes_;
    return WriteResult::Done();
}

// ---- MemoryFiles ----

const MemoryFiles::Entry* MemoryFiles::Find(std::string_view path) const {
    const auto wanted = ToLowerAscii(path);
    for (const auto& e : entries_) {
        if (ToLowerAscii(e.path) == wanted ||
            (!e.shortPath.empty() && ToLowerAscii(e.shortPath) == wanted)) {
            return &e;
        }
    }
    return nullptr;
}

std::optional<std::string> MemoryFiles::ShortPath(std::string_view path) {
    const Entry* e = Find(path);
    if (e == nullptr) {
        return std::nullopt;
    }
    return e->shortPath.empty() ? e->path : e->shortPath;
}

bool MemoryFiles::FileExists(std::string_view path) {
    const Entry* e = Find(path);
    return e != nullptr && !e->folder;
}

std::vector<std::string> MemoryFiles::List(std::string_view pattern) {
    const auto [folder, namePattern] = SplitFolder(pattern);
    std::vector<std::string> names;
    for (const auto& e : entries_) {
        const auto [entryFolder, name] = SplitFolder(e.path);
        // As the system does, a pattern matches the short name too.
        const bool matches =
            WildcardMatch(namePattern, name) ||
            (!e.shortPath.empty() && WildcardMatch(namePattern, SplitFolder(e.shortPath).second));
        if (ToLowerAscii(entryFolder) == ToLowerAscii(folder) && matches) {
            names.emplace_back(name);
        }
    }
    return names;
}

bool MemoryFiles::Delete(std::string_view path) {
    const auto wanted = ToLowerAscii(path);
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return !e.folder && ToLowerAscii(e.path) == wanted;
    });
    if (it == entries_.end() || undeletable.contains(wanted)) {
        return false;
    }
    entries_.erase(it);
    return true;
}

void MemoryFiles::AddFile(std::string_view path, std::string_view shortPath) {
    entries_.push_back({std::string(path), std::string(shortPath), false});
}

namespace {

class MemoryFileReader : public FileReader {
  public:
    MemoryFileReader(std::shared_ptr<const std::vector<std::uint8_t>> bytes,
                     std::shared_ptr<std::vector<MemoryFiles::FileRead>> reads)
        : bytes_(std::move(bytes)), reads_(std::move(reads)) {}
    [[nodiscard]] std::uint64_t Size() const override { return bytes_->size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* into,
                                      std::size_t count) override {
        reads_->push_back({offset, count});
        if (offset >= bytes_->size()) {
            return 0;
        }
        const std::size_t got =
            std::min<std::size_t>(count, bytes_->size() - static_cast<std::size_t>(offset));
        std::copy_n(bytes_->begin() + static_cast<std::ptrdiff_t>(offset), got, into);
        return got;
    }

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::shared_ptr<std::vector<MemoryFiles::FileRead>> reads_;
};

}  // namespace

void MemoryFiles::AddFileBytes(std::string_view path, std::vector<std::uint8_t> bytes) {
    if (!FileExists(path)) {
        AddFile(path);
    }
    bytes_[std::string(path)] = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

std::unique_ptr<FileReader> MemoryFiles::OpenForReading(std::string_view path, Sharing sharing) {
    const auto found = bytes_.find(std::string(path));
    if (found == bytes_.end() || !FileExists(path)) {
        return nullptr;
    }
    if (sharing != Sharing::ReadWriteDelete && heldForWriting.count(std::string(path)) != 0) {
        return nullptr;  // a sharing violation
    }
    return std::make_unique<MemoryFileReader>(found->second, reads_);
}

void MemoryFiles::AddFolder(std::string_view path) {
    entries_.push_back({std::string(path), {}, true});
}

// ---- MemoryProcesses ----

std::unique_ptr<RunningProcess> MemoryProcesses::Start(const ProcessLaunch& launch) {
    if (refuse && refuse(launch)) {
        return nullptr;
    }
    started.push_back({launch, false, static_cast<std::uint32_t>(1000 + started.size()), false});
    return std::make_unique<MemoryRunningProcess>(*this, started.size() - 1);
}

bool MemoryProcesses::CreateInstanceMutex(std::string_view name) {
    return !existingMutexes.insert(std::string(name)).second;
}

// ---- MemoryDesktop ----

std::optional<std::vector<TopLevelWindow>> MemoryDesktop::TopLevelWindows(
    std::optional<std::string_view> desktop, std::size_t maxTitleChars) {
    enumeratedDesktops.emplace_back(desktop ? std::optional<std::string>(*desktop) : std::nullopt);
    if (desktop && !defaultDesktopOpens) {
        return std::nullopt;
    }
    auto result = windows;
    for (auto& w : result) {
        if (w.title.size() > maxTitleChars) {
            w.title.resize(maxTitleChars);
        }
    }
    return result;
}

std::intptr_t MemoryDesktop::Send(WindowId window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    messages.push_back({Message::Kind::Send, window, message, wParam, lParam});
    return 0;
}

bool MemoryDesktop::SendNotify(WindowId window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    messages.push_back({Message::Kind::Notify, window, message, wParam, lParam});
    return true;
}

// ---- MemorySystemSettings ----

WriteResult MemorySystemSettings::SetScreenSaveActive(bool active) {
    if (activeRefused) {
        return WriteResult::Failed(*activeRefused);
    }
    screenSaveActive = active;
    return WriteResult::Done();
}

WriteResult MemorySystemSettings::SetScreenSaveTimeout(int seconds) {
    if (timeoutRefused) {
        return WriteResult::Failed(*timeoutRefused);
    }
    screenSaveTimeout = seconds;
    return WriteResult::Done();
}

WriteResult MemorySystemSettings::SetScreenSaverRunning(bool running) {
    screenSaverRunningCalls.push_back(running);
    return WriteResult::Done();
}

// ---- MemoryDialogs ----

Answer MemoryDialogs::Show(const MessageBoxRequest& request) {
    shown.push_back(request);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return request.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::vector<std::string> MemoryDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const auto& r : shown) {
        texts.push_back(r.text);
    }
    return texts;
}

// ---- MemoryLibraries ----

LibraryResult MemoryLibraries::PwdChangePassword(std::string_view dllPath,
                                                 std::string_view provider, WindowId window) {
    if (presentLibraries.count(std::string(dllPath)) == 0) {
        return {LibraryCall::NoLibrary, 0};
    }
    if (presentFunctions.count("PwdChangePasswordA") == 0) {
        return {LibraryCall::NoFunction, 0};
    }
    calls.push_back({"PwdChangePasswordA", std::string(dllPath), std::string(provider), window});
    return {LibraryCall::Done, 0};
}

LibraryResult MemoryLibraries::VerifyScreenSavePwd(std::string_view dllPath, WindowId window) {
    if (presentLibraries.count(std::string(dllPath)) == 0) {
        return {LibraryCall::NoLibrary, 0};
    }
    if (presentFunctions.count("VerifyScreenSavePwd") == 0) {
        return {LibraryCall::NoFunction, 0};
    }
    calls.push_back({"VerifyScreenSavePwd", std::string(dllPath), {}, window});
    std::uint32_t result = 1;
    if (!verifyResults.empty()) {
        result = verifyResults.front();
        verifyResults.pop_front();
    }
    return {LibraryCall::Done, result};
}

// ---- FakeClock ----

void FakeClock::SleepMs(std::int64_t ms) {
    now += ms;
    if (onSleep) {
        onSleep(ms);
    }
}

// ---- MemoryPlatform ----

MemoryPlatform::MemoryPlatform()
    : platform_{registry, profile, files,     processes, desktop,
                system,   dialogs, libraries, clock,     text} {}

}  // namespace qv::platform::memory
