#include "platform/memory/memory_platform.h"

namespace qv::platform::memory {

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

RegWrite MemoryRegistry::Set(RegRoot root, std::string_view key, std::string_view name,
                             const RegValue& value) {
    if (failKeyCreation && !HasKey(root, key)) {
        return {RegWriteStatus::KeyFailed, std::string(kRefusedReason)};
    }
    auto& values = keys_[KeyId(root, key)];
    if (failingValueNames.count(std::string(name)) != 0) {
        return {RegWriteStatus::ValueFailed, std::string(kRefusedReason)};
    }
    values[std::string(name)] = value;
    ++writes_;
    writtenNames.emplace_back(name);
    return {};
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

}  // namespace qv::platform::memory
