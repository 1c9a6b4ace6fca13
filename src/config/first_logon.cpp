#include "config/first_logon.h"

#include "config/config_store.h"
#include "config/names.h"
#include "config/paths.h"
#include "config/system_saver_settings.h"

namespace qv::config {

FirstLogon GiveFirstExperience(const platform::Platform& platform,
                               std::string_view sampleRotation) {
    FirstLogon done;
    const ConfigStore store(platform.registry, [&done] { done.failed = true; });
    const auto stored = [&](std::string_view name) {
        return platform.registry.Query(platform::RegRoot::CurrentUser, kKeyPath, name).has_value();
    };
    if (!stored(value::Saver) && !stored(value::Tessel)) {
        store.WriteUserValue(value::Tessel, sampleRotation);
        store.WriteUserValue(value::ScreenSaverType, "0");
        done.seededRotation = true;
    }

    const SystemSaverSettings system(platform);
    if (system.SystemScreenSaver("", kPathBufferChars).empty()) {
        const std::string host = store.ReadMachineValue(value::InstallLocation);
        const auto shortHost =
            host.empty() ? std::nullopt : ShortPathWithin512(platform.files, host);
        if (shortHost && !shortHost->empty()) {
            const SettingFailures unstored = system.SetSystemScreenSaver(*shortHost);
            // The entry counts as set once written, even when screen saving stayed off.
            done.setScreenSaver = system.SystemScreenSaver("", kPathBufferChars) == *shortHost;
            done.failed = done.failed || !unstored.empty();
        }
    }
    return done;
}

}  // namespace qv::config
