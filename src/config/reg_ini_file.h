// An ini-style view of the registry: a base key whose subkeys are sections. Integers and
// Booleans are stored as REG_SZ text. Opened for the span of one action.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qv::config {

// A write through the view failed; the action in progress is abandoned.
class ConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Decimal text to a 32-bit integer: optional sign and digits, nothing else; nullopt
// otherwise (also on overflow).
std::optional<int> ParseDecimal(std::string_view text);

// Values are read and written within kStoredValueCapBytes, as through ConfigStore: a longer
// stored value reads as missing, a longer text is refused like a failed write.
class RegIniFile {
  public:
    // `basePath` may start with a backslash ("\Software\Quorvanes"): it is taken from the
    // root. The base key is created when it is missing; failure throws ConfigError.
    RegIniFile(platform::Registry& registry, platform::RegRoot root, std::string_view basePath);

    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view name,
                                         std::string_view fallback) const;
    [[nodiscard]] int ReadInteger(std::string_view section, std::string_view name,
                                  int fallback) const;
    [[nodiscard]] bool ReadBool(std::string_view section, std::string_view name,
                                bool fallback) const;

    void WriteString(std::string_view section, std::string_view name, std::string_view text);
    void WriteInteger(std::string_view section, std::string_view name, int value);
    void WriteBool(std::string_view section, std::string_view name, bool value);

  private:
    [[nodiscard]] std::string SectionPath(std::string_view section) const;

    platform::Registry& registry_;
    platform::RegRoot root_;
    std::string base_;
};

// The view the saver host uses: HKEY_CURRENT_USER "\Software\Quorvanes".
RegIniFile OpenUserIni(platform::Registry& registry);

}  // namespace qv::config
