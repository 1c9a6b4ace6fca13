// The system's own screen-saver settings that the manager reads and writes: the
// "Control Panel\Desktop" values and system.ini [boot] "SCRNSAVE.EXE".
#pragma once

#include <string>
#include <vector>

#include "platform/ports.h"

namespace qv::config {

// A system setting that could not be stored: its name as the system spells it and the
// system's reason (empty when it gave none).
struct SettingFailure {
    std::string setting;
    std::string reason;
};
using SettingFailures = std::vector<SettingFailure>;

// One line per failure, "setting: reason", for a box that tells the user; no line break
// after the last.
std::string DescribeFailures(const SettingFailures& failures);

// GetPrivateProfileString semantics over the Profile port: `fallback` when the key is
// missing, the text cut to `bufferChars` - 1 characters.
std::string ReadProfileString(platform::Profile& profile, std::string_view file,
                              std::string_view section, std::string_view key,
                              std::string_view fallback, std::size_t bufferChars);

class SystemSaverSettings {
  public:
    explicit SystemSaverSettings(const platform::Platform& platform);

    [[nodiscard]] int ScreenSaveTimeOut() const;  // seconds, default 3600
    [[nodiscard]] bool ScreenSaverIsSecure() const;
    [[nodiscard]] bool ScreenSaveUsePassword() const;  // a REG_DWORD; anything else is off

    // Each write says what it could not store; nothing is reported as done that was not.
    [[nodiscard]] SettingFailures SetScreenSaveTimeOut(int seconds) const;
    [[nodiscard]] SettingFailures SetScreenSaverIsSecure(bool on) const;
    [[nodiscard]] SettingFailures SetScreenSaveUsePassword(bool on) const;

    // system.ini [boot] "SCRNSAVE.EXE" as read with a buffer of `bufferChars`.
    [[nodiscard]] std::string SystemScreenSaver(std::string_view fallback,
                                                std::size_t bufferChars) const;
    // Writes the entry (the empty text keeps the key with an empty value), broadcasts the
    // change and switches screen saving on, whatever was written.
    [[nodiscard]] SettingFailures SetSystemScreenSaver(std::string_view value) const;

  private:
    const platform::Platform& platform_;
};

}  // namespace qv::config
