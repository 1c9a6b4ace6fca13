#include "config/system_saver_settings.h"

#include <cstring>
#include <utility>

#include "config/config_store.h"
#include "config/names.h"
#include "config/reg_ini_file.h"

namespace qv::config {

using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
using platform::RegWriteStatus;
using platform::WriteResult;

namespace {

// What the user reads for each setting: what it is, and the name the system gives it.
constexpr std::string_view kTimeoutSetting = "The waiting time (ScreenSaveTimeOut)";
constexpr std::string_view kSecureSetting = "The password option (ScreenSaverIsSecure)";
constexpr std::string_view kUsePasswordSetting = "The password option (ScreenSaveUsePassword)";
constexpr std::string_view kScrnSaveSetting = "The screen saver (SCRNSAVE.EXE in system.ini)";
constexpr std::string_view kActiveSetting = "Screen saving switched on (ScreenSaveActive)";
constexpr std::string_view kKeyFailed =
    "the registry key HKEY_CURRENT_USER\\Control Panel\\Desktop could not be opened";
constexpr std::string_view kValueFailed = "the registry refused the value";

SettingFailures Unless(const WriteResult& result, std::string_view setting) {
    if (result) {
        return {};
    }
    return {{std::string(setting), result.reason}};
}

// The step that failed, and the system's words for why when it gives them.
SettingFailures Unless(const platform::RegWrite& write, std::string_view setting) {
    std::string step;
    switch (write.status) {
        case RegWriteStatus::Ok:
            return {};
        case RegWriteStatus::KeyFailed:
            step = kKeyFailed;
            break;
        case RegWriteStatus::ValueFailed:
            step = kValueFailed;
            break;
    }
    return {{std::string(setting), write.reason.empty() ? step + '.' : step + ": " + write.reason}};
}

}  // namespace

std::string DescribeFailures(const SettingFailures& failures) {
    std::string text;
    for (const SettingFailure& failure : failures) {
        if (!text.empty()) {
            text += '\n';
        }
        text += failure.setting;
        text += ": ";
        text += failure.reason.empty() ? "the system gave no reason." : failure.reason;
    }
    return text;
}

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

SettingFailures SystemSaverSettings::SetScreenSaveTimeOut(int seconds) const {
    return Unless(platform_.system.SetScreenSaveTimeout(seconds), kTimeoutSetting);
}

SettingFailures SystemSaverSettings::SetScreenSaverIsSecure(bool on) const {
    const RegValue value{RegType::String, std::string(on ? "1" : "0") + '\0'};
    return Unless(
        platform_.registry.Set(RegRoot::CurrentUser, kDesktopKeyPath, kScreenSaverIsSecure, value),
        kSecureSetting);
}

SettingFailures SystemSaverSettings::SetScreenSaveUsePassword(bool on) const {
    RegValue value{RegType::Dword, std::string(4, '\0')};
    value.data[0] = on ? '\1' : '\0';
    return Unless(platform_.registry.Set(RegRoot::CurrentUser, kDesktopKeyPath,
                                         kScreenSaveUsePassword, value),
                  kUsePasswordSetting);
}

std::string SystemSaverSettings::SystemScreenSaver(std::string_view fallback,
                                                   std::size_t bufferChars) const {
    return ReadProfileString(platform_.profile, kSystemIni, kBootSection, kScrnSaveKey, fallback,
                             bufferChars);
}

SettingFailures SystemSaverSettings::SetSystemScreenSaver(std::string_view value) const {
    SettingFailures failures = Unless(
        platform_.profile.Write(kSystemIni, kBootSection, kScrnSaveKey, value), kScrnSaveSetting);
    platform_.desktop.BroadcastWinIniChange();
    for (SettingFailure& failure :
         Unless(platform_.system.SetScreenSaveActive(true), kActiveSetting)) {
        failures.push_back(std::move(failure));
    }
    return failures;
}

}  // namespace qv::config
