#include "config/system_saver_settings.h"

#include <cstring>

#include "config/config_store.h"
#include "config/names.h"
#include "config/reg_ini_file.h"

namespace qv::config {

using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

std::string ReadProfileString(platform::Profile& profile, std::string_view file,
                              std::string_view section, std::string_view key,
                              std::string_view fallback, std::size_t bufferChars) {
    std::string text(profile.Read(file, section, key).value_or(std::string(fallback)));
    if (bufferChars == 0) {
        return {};
    }
    if (text.size() > bufferChars - 1) {
        text.resize(bufferChars - 1);
    }
    return text;
}

SystemSaverSettings::SystemSaverSettings(const platform::Platform& platform)
    : platform_(platform) {}

int SystemSaverSettings::ScreenSaveTimeOut() const {
    const RegIniFile view(platform_.registry, RegRoot::CurrentUser, kControlPanelIniView);
    return view.ReadInteger(kDesktopSection, kScreenSaveTimeOut, kDefaultScreenSaveTimeOut);
}

bool SystemSaverSettings::ScreenSaverIsSecure() const {
    const auto value =
        platform_.registry.Query(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaverIsSecure);
    return TextOfValue(value) == "1";
}

bool SystemSaverSettings::ScreenSaveUsePassword() const {
    const auto value =
        platform_.registry.Query(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaveUsePassword);
    if (!value || value->type != RegType::Dword || value->data.size() != 4) {
        return false;
    }
    std::uint32_t number = 0;
    std::memcpy(&number, value->data.data(), 4);  // little-endian on every target
    return number != 0;
}

void SystemSaverSettings::SetScreenSaveTimeOut(int seconds) const {
    platform_.system.SetScreenSaveTimeout(seconds);
}

void SystemSaverSettings::SetScreenSaverIsSecure(bool on) const {
    const RegValue value{RegType::String, std::string(on ? "1" : "0") + '\0'};
    (void)platform_.registry.Set(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaverIsSecure,
                                 value);
}

void SystemSaverSettings::SetScreenSaveUsePassword(bool on) const {
    RegValue value{RegType::Dword, std::string(4, '\0')};
    value.data[0] = on ? '\1' : '\0';
    (void)platform_.registry.Set(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaveUsePassword,
                                 value);
}

std::string SystemSaverSettings::SystemScreenSaver(std::string_view fallback,
                                                   std::size_t bufferChars) const {
    return ReadProfileString(platform_.profile, kSystemIni, kBootSection, kScrnSaveKey, fallback,
                             bufferChars);
}

void SystemSaverSettings::SetSystemScreenSaver(std::string_view value) const {
    (void)platform_.profile.Write(kSystemIni, kBootSection, kScrnSaveKey, value);
    platform_.desktop.BroadcastWinIniChange();
    platform_.system.SetScreenSaveActive(true);
}

}  // namespace qv::config
