#include "saver/host.h"
#include "platform/messages.h"

#include "common/text.h"
#include "config/names.h"
#include "password/saver_password.h"
#include "saver/names.h"
#include "saver/screen_saver_start.h"

namespace qv::saver {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadArguments = 1;

// A window number the mode needs but cannot read: a clear message, and the program ends.
std::optional<platform::WindowId> RequireWindowNumber(const platform::Platform& platform,
                                                      const Arguments& args) {
    const auto number = ParamWindowHandle(args);
    if (!number.window) {
        platform::ShowHostMessage(platform.dialogs,
                                  WithArgument(text::BadWindowNumber, number.text));
    }
    return number.window;
}

}  // namespace

int RunSaverHost(const platform::Platform& platform, HostViews& views, const Arguments& args) {
    // The mutex stays held for the life of the process, whatever the mode.
    const bool alreadyRunning = platform.processes.CreateInstanceMutex(shared::kSaverHostMutex);

    HostState state;
    state.mode = ModeOf(CmdSwitch(args));
    if (alreadyRunning && ChecksSingleInstance(state.mode)) {
        return kExitOk;
    }
    state.isNT = platform.system.IsNT();

    switch (state.mode) {
        case Mode::TesselPreview:
            state.toolWindowMode = true;
            return views.RunPictureShow(state);
        case Mode::ChangePassword: {
            const auto window = RequireWindowNumber(platform, args);
            if (!window) {
                return kExitBadArguments;
            }
            password::ChangeSaverPassword(platform, *window);
            // No form exists in this mode: the message loop would return at once.
            return kExitOk;
        }
        case Mode::ScreenSaver: {
            const config::ConfigStore store(platform.registry,
                                            config::ShowWriteFailedMessage(platform.dialogs));
            if (StartScreenSaver(platform, store, state) == SaverStartOutcome::Ended) {
                return kExitOk;
            }
            state.toolWindowMode = true;
            return views.RunPictureShow(state);
        }
        case Mode::Preview: {
            const auto window = RequireWindowNumber(platform, args);
            if (!window) {
                return kExitBadArguments;
            }
            state.toolWindowMode = true;
            return views.RunPreview(state, *window);
        }
        case Mode::Settings:
            break;
    }
    return views.RunSettingsDialog(state);
}

}  // namespace qv::saver
