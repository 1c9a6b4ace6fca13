// The four direct operations on the configuration key: one value, one open and close.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/names.h"
#include "platform/ports.h"

namespace qv::config {

// Text of a stored value as a read into `bufferBytes` sees it: the bytes up to the first
// NUL; nullopt when the value is missing or does not fit the buffer with its terminator.
std::optional<std::string> StoredText(const std::optional<platform::RegValue>& value,
                                      std::size_t bufferBytes);
// As StoredText, with the empty string for a missing value or one that does not fit.
std::string TextOfValue(const std::optional<platform::RegValue>& value,
                        std::size_t bufferBytes = kValueBufferBytes);
// A text the programs may store: with its terminator within kStoredValueCapBytes.
bool FitsValueCap(std::string_view text);

class ConfigStore {
  public:
    // `onWriteFailed` reports a value that could not be set; each program has its own box.
    ConfigStore(platform::Registry& registry, std::function<void()> onWriteFailed);

    // The user's values read whole up to kStoredValueCapBytes, the installation's (paths)
    // within kValueBufferBytes; missing or longer: the empty string.
    [[nodiscard]] std::string ReadRegValue(platform::RegRoot root, std::string_view name) const;
    [[nodiscard]] std::string ReadUserValue(std::string_view name) const;
    [[nodiscard]] std::string ReadMachineValue(std::string_view name) const;
    // A text over kStoredValueCapBytes is not written (the stored value stays) and is
    // reported as a failed set.
    void WriteUserValue(std::string_view name, std::string_view text) const;

  private:
    platform::Registry& registry_;
    std::function<void()> onWriteFailed_;
};

// The saver host's report of a failed write: a plain box with the fixed text.
std::function<void()> ShowWriteFailedMessage(platform::Dialogs& dialogs);

}  // namespace qv::config
