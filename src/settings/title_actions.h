// What the settings dialog does with a title of its lists through their context menus:
// which press opens a menu, the one-Preshow rule, a title's settings and previews started
// by a delayed launch, and delete. The window shows the menus and runs the launches on
// threads of their own; these are the rules.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"
#include "settings/options.h"
#include "settings/tessel_preview.h"

namespace qv::settings {

namespace text {
inline constexpr std::string_view DeleteQuestion =
    "This action will delete '%s' from your system.  Are you sure you want to proceed?";
// A file the system would not delete (in use, read only, no right to): the lists are
// refilled from what is there, so its row stays.
inline constexpr std::string_view DeleteFailed =
    "'%s' could not be deleted. It may be in use or read-only.";
// A second Tessel preview while the first has not yet given the rotation back.
inline constexpr std::string_view PreviewStillRunning =
    "A Tessel preview is still starting. Try again when it has appeared.";
}  // namespace text

// Presses on the check-box column (x of 15 pixels or less) never open a menu.
inline constexpr int kCheckColumnPixels = 15;
inline constexpr int kPreviewDelayMs = 1000;

enum class TitleKind { Saver, Tessel, Preshow };

// The row whose menu a mouse press opens: a right press right of the check-box column,
// on an existing row (`rowUnder`), in a list that shows titles; nullopt otherwise.
std::optional<int> MenuRowFor(const CheckList& list, TitleKind kind, bool rightButton, int x,
                              std::optional<int> rowUnder);

// A Preshow row just checked unchecks every other one; unchecking changes nothing else.
void KeepOnePreshow(CheckList& preshows, std::optional<int> changedRow);

// The title a menu acts on, recorded at the right-click.
struct Target {
    TitleKind kind = TitleKind::Saver;
    std::string item;  // a saver's full path, a Tessel's title, a Preshow's name
    std::string name;  // what the delete question calls it
};

// The target of row `row` of a list (the saver list with FSaverFiles beside it).
Target SaverTarget(platform::Files& files, const SaverList& savers, int row);
Target TitleTarget(TitleKind kind, const CheckList& list, int row);

enum class Command { Settings, Preview };

// One launch, with its own copies of the switch and the target: a second command while it
// waits cannot change them.
struct DelayedLaunch {
    Target target;
    std::string launchSwitch;  // "/c", "/s", "zz" or empty (a Preshow's preview)
    // A Tessel preview's claim on the stored rotation (StartDelayedLaunch takes it); without
    // one, the launch claims a guard of its own.
    std::shared_ptr<TesselPreviewGuard> previews;
    std::uint64_t previewTicket = 0;
};

// The switch table: Settings "/c" (savers and Preshows), Preview "/s" (a saver), "zz" (a
// Tessel, shown by the installed saver host) or nothing (a Preshow). nullopt: the kind has
// no such command (a Tessel's settings).
std::optional<DelayedLaunch> LaunchFor(const Target& target, Command command);

// A delayed launch's thread body: waits a second unless it is a settings launch, then starts
// the title without waiting for it. A Tessel preview makes that Tessel the stored rotation's
// only one while its show starts and puts the user's values back once the show has read
// them (settings/tessel_preview.h). Failures are told through `platform.dialogs`, which the
// window hands to its own thread.
void RunDelayedLaunch(const platform::Platform& platform, const DelayedLaunch& launch);

// What a delayed launch's thread runs, with the platform (adapters) of that thread.
using LaunchBody = std::function<void(const platform::Platform&)>;

// A menu command on the title last right-clicked (the window's thread): the launch takes its
// own copies of `selected` and the switch now, a Tessel preview claims `previews` (one at a
// time), and `startThread` is handed the body to run on a thread of its own. False when
// nothing starts: the kind has no such command, or a Tessel preview runs already. The claim
// ends with the body, also when the body is never run.
bool StartDelayedLaunch(const Target& selected, Command command,
                        const std::shared_ptr<TesselPreviewGuard>& previews,
                        const std::function<void(LaunchBody)>& startThread);

// Delete: asks (a warning with Yes and Cancel), stores the list's current marks, deletes
// the title's file (only inside the folder its row came from), rebuilds the list from the
// disk and the stored marks and stores them again. Returns the rebuilt list, or nullopt
// when the user did not answer Yes. Throws config::ConfigError when a store fails.
struct Lists {
    SaverList savers;
    CheckList tessels;
    CheckList preshows;
};
// With `previews`, a Tessel preview still out is settled before anything is stored.
std::optional<Lists> DeleteTitle(const platform::Platform& platform, const OptionsStart& start,
                                 const Target& target, Lists current,
                                 TesselPreviewGuard* previews = nullptr);

}  // namespace qv::settings
