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

}  // namespace

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

bool MemoryFiles::FolderExists(std::string_view path) const {
    const Entry* e = Find(path);
    return e != nullptr && e->folder;
}

// Each missing folder from the top down, as the system makes them one at a time; a file in
// the way, or a folder that cannot be made, stops it.
bool MemoryFiles::CreateFolder(std::string_view path) {
    for (std::size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
        const std::string_view folder = path.substr(0, end);
        if (!FolderExists(folder)) {
            if (Find(folder) != nullptr || uncreatable.contains(ToLowerAscii(folder))) {
                return false;
            }
            AddFolder(folder);
        }
        if (end == std::string_view::npos) {
            return true;
        }
    }
}

}  // namespace qv::platform::memory
