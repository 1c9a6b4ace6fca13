#include "config/config_store.h"
#include "platform/messages.h"

#include <utility>

#include "config/names.h"

namespace qv::config {

using platform::RegRoot;
using platform::RegValue;
using platform::RegWriteStatus;

std::optional<std::string> StoredText(const std::optional<RegValue>& value,
                                      std::size_t bufferBytes) {
    if (!value) {
        return std::nullopt;
    }
    // A string value needs room for its terminator; the stored data already carries it
    // for well-formed values, other types are read as raw bytes.
    std::size_t needed = value->data.size();
    const bool isText = value->type == platform::RegType::String ||
                        value->type == platform::RegType::ExpandString ||
                        value->type == platform::RegType::MultiString;
    if (isText && (value->data.empty() || value->data.back() != '\0')) {
        ++needed;
    }
    if (needed > bufferBytes) {
        return std::nullopt;
    }
    const auto nul = value->data.find('\0');
    return value->data.substr(0, nul);
}

std::string TextOfValue(const std::optional<RegValue>& value, std::size_t bufferBytes) {
    return StoredText(value, bufferBytes).value_or(std::string());
}

bool FitsValueCap(std::string_view text) {
    return text.size() < kStoredValueCapBytes;
}

ConfigStore::ConfigStore(platform::Registry& registry, std::function<void()> onWriteFailed)
    : registry_(registry), onWriteFailed_(std::move(onWriteFailed)) {}

std::string ConfigStore::ReadRegValue(RegRoot root, std::string_view name) const {
    // The installation's values are paths, read as the system reads them; the user's are
    // what the programs wrote, lists of any length among them, and must read back whole.
    const std::size_t bufferBytes =
        root == RegRoot::CurrentUser ? kStoredValueCapBytes : kValueBufferBytes;
    return TextOfValue(registry_.Query(root, kKeyPath, name), bufferBytes);
}

std::string ConfigStore::ReadUserValue(std::string_view name) const {
    return ReadRegValue(RegRoot::CurrentUser, name);
}

std::string ConfigStore::ReadMachineValue(std::string_view name) const {
    return ReadRegValue(RegRoot::LocalMachine, name);
}

void ConfigStore::WriteUserValue(std::string_view name, std::string_view text) const {
    if (!FitsValueCap(text)) {
        // Writing it would store what no reader reads back: the stored choice stays.
        if (onWriteFailed_) {
            onWriteFailed_();
        }
        return;
    }
    RegValue value{platform::RegType::String, std::string(text)};
    value.data.push_back('\0');
    const auto status = registry_.Set(RegRoot::CurrentUser, kKeyPath, name, value);
    // A key that cannot be created is passed over; only a failed set is reported.
    if (status == RegWriteStatus::ValueFailed && onWriteFailed_) {
        onWriteFailed_();
    }
}

std::function<void()> ShowWriteFailedMessage(platform::Dialogs& dialogs) {
    return [&dialogs] { platform::ShowHostMessage(dialogs, text::WriteFailed); };
}

}  // namespace qv::config
