// The rules of "New Tessel…" in the settings dialog: what the form asks for, where the new
// Tessel goes (the user's own Tessels folder), which names are refused, and what the user is
// told when the making ends. The making itself is the engine's (making/tessel_maker.h); the
// dialog runs it on a worker.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "config/tessel_folders.h"
#include "making/tessel_maker.h"
#include "platform/ports.h"
#include "settings/options.h"

namespace qv::settings {

// The sizes offered, in the order of the dialog's list.
enum class SizeChoice { LargestMonitor, LinkLayout, OwnSize };
// The size the show's link areas are laid out on.
inline constexpr making::FitBox kLinkLayoutSize{640, 480};
inline constexpr int kNewTesselQuality = 90;

struct NewTesselForm {
    std::string folder;  // of pictures
    std::string name;    // the Tessel's title
    SizeChoice size = SizeChoice::LargestMonitor;
    std::array<std::string, 8> links{};  // "" for none
};

struct NewTesselPlan {
    std::string refusal;          // why it cannot be made; empty when it can
    making::MakeRequest request;  // its pictures are listed by the worker, off the window
    std::string folder;           // the pictures' folder
    std::string title;            // the name, trimmed
    bool replaces = false;        // a Tessel of the user's of that name is there already
};

// Checks the form and makes the user's Tessels folder when needed. `largest` is the size of
// the computer's largest monitor.
[[nodiscard]] NewTesselPlan PlanNewTessel(platform::Files& files,
                                          const config::TesselFolders& folders,
                                          const NewTesselForm& form, making::FitBox largest);

// What the user is told when the making has ended; empty for a cancelled one (nothing to
// tell: no file was left).
[[nodiscard]] std::string MakeOutcomeText(const NewTesselPlan& plan,
                                          const making::MakeResult& result);

// The Tessel list after a Tessel was made: `fresh` (read anew from the folders) with the
// checks the user has set in `shown` so far, and `title` checked. The new row's index too.
struct ListWithNew {
    CheckList list;
    int row = 0;
};
[[nodiscard]] ListWithNew WithNewTessel(const CheckList& shown, CheckList fresh,
                                        std::string_view title, platform::TextRules& text);

}  // namespace qv::settings
