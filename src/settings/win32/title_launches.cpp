#include "settings/win32/title_launches.h"

#include "platform/messages.h"

namespace qv::settings::win32 {

namespace {

constexpr int kLaunchesEndWaitMs = 5000;

}  // namespace

bool TitleLaunches::Launch(const Target& target, Command command) {
    // The launch takes its own copy of the target (a second command cannot change it). The
    // thread shares the window's boxes; the rest of the platform lives as long as the process.
    const bool started =
        StartDelayedLaunch(target, command, previews_.guard(), [&](LaunchBody body) {
            launches_.Start([system = platform_, dialogs = dialogs_, body = std::move(body)] {
                body(platform::WithDialogs(system, *dialogs));
            });
        });
    if (!started && LaunchFor(target, command).has_value()) {
        platform::ShowHostMessage(*dialogs_, text::PreviewStillRunning);
    }
    return started;
}

std::optional<Lists> TitleLaunches::Delete(const OptionsStart& start, const Target& target,
                                           Lists current) {
    try {
        return DeleteTitle(platform::WithDialogs(platform_, *dialogs_), start, target,
                           std::move(current), previews_.guard().get());
    } catch (const config::ConfigError& error) {
        platform::ShowHostMessage(*dialogs_, error.what());
        return std::nullopt;
    }
}

void TitleLaunches::WaitUntilDone() {
    (void)launches_.WaitUntilDone(kLaunchesEndWaitMs);
}

}  // namespace qv::settings::win32
