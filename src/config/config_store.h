// The four direct operations on the configuration key: one value, one open and close.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qv::config {

// Text of a stored value as a 512-byte read sees it: the bytes up to the first NUL, or
// empty when the value is missing or does not fit the buffer with its terminator.
std::string TextOfValue(const std::optional<platform::RegValue>& value);

class ConfigStore {
  public:
    // `onWriteFailed` reports a value that could not be set; each program has its own box.
    ConfigStore(platform::Registry& registry, std::function<void()> onWriteFailed);

    [[nodiscard]] std::string ReadRegValue(platform::RegRoot root, std::string_view name) const;
    [[nodiscard]] std::string ReadUserValue(std::string_view name) const;
    [[nodiscard]] std::string ReadMachineValue(std::string_view name) const;
    void WriteUserValue(std::string_view name, std::string_view text) const;

  private:
    platform::Registry& registry_;
    std::function<void()> onWriteFailed_;
};

// The saver host's report of a failed write: a plain box with the fixed text.
std::function<void()> ShowWriteFailedMessage(platform::Dialogs& dialogs);

}  // namespace qv::config
