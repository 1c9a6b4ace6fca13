// The system's own screen-saver settings that the manager reads and writes: the
// "Control Panel\Desktop" values and system.ini [boot] "SCRNSAVE.EXE".
#pragma once

#include <string>

#include "platform/ports.h"

namespace qv::config {

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

    void SetScreenSaveTimeOut(int seconds) const;
    void SetScreenSaverIsSecure(bool on) const;
    void SetScreenSaveUsePassword(bool on) const;

    // system.ini [boot] "SCRNSAVE.EXE" as read with a buffer of `bufferChars`.
    [[nodiscard]] std::string SystemScreenSaver(std::string_view fallback,
                                                std::size_t bufferChars) const;
    // Writes the entry (the empty text keeps the key with an empty value), broadcasts the
    // change and switches screen saving on, whatever was written.
    void SetSystemScreenSaver(std::string_view value) const;

  private:
    const platform::Platform& platform_;
};

}  // namespace qv::config
