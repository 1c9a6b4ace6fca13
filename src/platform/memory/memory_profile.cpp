#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

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

}  // namespace qv::platform::memory
