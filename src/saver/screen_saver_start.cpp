#include "saver/screen_saver_start.h"
#include "platform/messages.h"

#include <array>
#include <span>

#include "config/names.h"
#include "config/rotation.h"
#include "desktop/window_search.h"
#include "launch/launch.h"
#include "saver/names.h"

namespace qv::saver {

namespace {

using config::Rotation;
using RotationStep = std::string (Rotation::*)() const;

struct Try {
    RotationStep step;
    const char* kind;  // ScreenSaverType of a title found by this step
};

// The kind that ran last is asked first; the third try lets a used-up list start again.
// After a Tessel, the first Tessel file is the last resort (ChooseFirstTesselForThisRun).
constexpr std::array<Try, 3> kAfterTessel{{{&Rotation::NextRotationTessel, "0"},
                                           {&Rotation::NextRotationSaver, "1"},
                                           {&Rotation::NextRotationTessel, "0"}}};
constexpr std::array<Try, 3> kAfterSaver{{{&Rotation::NextRotationSaver, "1"},
                                          {&Rotation::NextRotationTessel, "0"},
                                          {&Rotation::NextRotationSaver, "1"}}};

struct Choice {
    std::string result;
    std::string kind;
};

Choice Choose(const Rotation& rotation, std::span<const Try> tries) {
    Choice choice;
    for (const Try& attempt : tries) {
        choice.kind = attempt.kind;
        choice.result = (rotation.*attempt.step)();
        if (!choice.result.empty()) {
            break;
        }
    }
    return choice;
}

void ShowNothingFound(const platform::Platform& platform) {
    platform::ShowHostMessage(platform.dialogs, text::NothingFound);
}

// The first Tessel file, for this run only: the user's Tessel list is theirs, and a start
// without the tray program (the display properties' preview, a start before the tray
// program is up) or with none of the listed files there must not replace it.
bool ChooseFirstTesselForThisRun(const Rotation& rotation, HostState& state) {
    state.tesselForThisRun = rotation.FirstTessel();
    return !state.tesselForThisRun.empty();
}

void RunPreshow(const platform::Platform& platform, const config::ConfigStore& store) {
    std::string name = store.ReadUserValue(config::value::PreshowLocation);
    if (name.empty()) {
        name = store.ReadMachineValue(config::value::PreshowLocation);
    }
    if (!name.empty()) {
        launch::LaunchPreshow(platform, store, name, "", true);
    }
}

}  // namespace

platform::WindowId FindTrayWindow(const platform::Platform& platform, bool isNT) {
    return desktop::FindWindowTitled(platform, isNT, kTrayWindowTitle);
}

SaverStartOutcome StartScreenSaver(const platform::Platform& platform,
                                   const config::ConfigStore& store, HostState& state) {
    state.trayRunning = FindTrayWindow(platform, state.isNT) != 0;
    if (!state.trayRunning) {
        if (!ChooseFirstTesselForThisRun(Rotation(platform, store, false), state)) {
            ShowNothingFound(platform);
            return SaverStartOutcome::Ended;
        }
        return SaverStartOutcome::ShowPictureShow;
    }

    RunPreshow(platform, store);
    const bool tesselRanLast = store.ReadUserValue(config::value::ScreenSaverType) == "0";
    const Rotation rotation(platform, store, true);
    const Choice choice =
        tesselRanLast ? Choose(rotation, kAfterTessel) : Choose(rotation, kAfterSaver);
    if (tesselRanLast && choice.result.empty() && !ChooseFirstTesselForThisRun(rotation, state)) {
        ShowNothingFound(platform);
        return SaverStartOutcome::Ended;
    }
    store.WriteUserValue(config::value::ScreenSaverType, choice.kind);
    if (choice.kind == "1") {
        // An empty result goes on to the launch, which reports that nothing could start.
        launch::LaunchSaverProcess(platform, choice.result);
        return SaverStartOutcome::Ended;
    }
    return SaverStartOutcome::ShowPictureShow;
}

}  // namespace qv::saver
