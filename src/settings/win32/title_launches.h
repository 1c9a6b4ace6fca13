// The settings window's launches and deletes of a title from the lists' menus: a title's
// settings or preview on a thread of its own (the program waits for those still running
// before it ends), the one Tessel preview at a time, and delete, which settles that preview
// first so that the user's own rotation is what is stored.
#pragma once

#include <memory>
#include <optional>

#include "platform/ports.h"
#include "settings/title_actions.h"
#include "ui/win32/window_dialogs.h"
#include "ui/win32/window_thread.h"

namespace qv::settings::win32 {

class TitleLaunches {
  public:
    // `dialogs` are the settings window's boxes, which the launches' threads share.
    TitleLaunches(const platform::Platform& platform,
                  std::shared_ptr<ui::win32::WindowDialogs> dialogs)
        : platform_(platform), dialogs_(std::move(dialogs)) {}

    // Starts `command` for `target` after its delay. A preview refused because a Tessel
    // preview still runs is told in a box; false when nothing started.
    bool Launch(const Target& target, Command command);
    // Delete of `target` from `current` (the lists as the window shows them): the lists
    // rebuilt, or nullopt when the user did not answer Yes or a store failed (told in a box).
    [[nodiscard]] std::optional<Lists> Delete(const OptionsStart& start, const Target& target,
                                              Lists current);
    // The Tessel preview's claim on the stored rotation, which OK settles first.
    [[nodiscard]] TesselPreviewGuard* Previews() const { return previews_.guard().get(); }
    // Waits, with a bound, for the launches still running.
    void WaitUntilDone();

  private:
    const platform::Platform& platform_;
    std::shared_ptr<ui::win32::WindowDialogs> dialogs_;
    ui::win32::PendingWork launches_;
    // The window's end puts back whatever is still out, after the program's wait.
    TesselPreviewOwner previews_{platform_.registry};
};

}  // namespace qv::settings::win32
