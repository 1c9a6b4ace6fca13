// The Tessel preview's hold on the stored rotation.
// A preview ("zz") makes the chosen Tessel the rotation's only one, starts the installed
// saver host, and puts the user's values back once that show has read them. This guard
// keeps it sound:
// - one preview at a time: a second Preview while one runs is refused;
// - the values come back once the show has read them: when the show's process has a window
//   on the screen (the show reads them before it shows anything) or has ended, and at the
//   latest kPreviewReadBoundMs after the launch;
// - never later than the user's next OK, and never over it: OK (and a delete, which stores
//   a list) settles the preview first, and after that its thread writes nothing;
// - the dialog's end settles it too (TesselPreviewOwner), so a preview still waiting for
//   its show never leaves the preview's single Tessel as the user's rotation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qv::settings {

// How long a started show has to read the preview's values before they are put back all
// the same. Generous: a show starts in well under a second, several on a busy machine.
inline constexpr std::int64_t kPreviewReadBoundMs = 15000;
// How often the preview's thread looks for the show's window.
inline constexpr std::int64_t kPreviewPollMs = 50;

// The three values a preview writes and puts back.
struct PreviewValues {
    std::string tessel;    // Tessel
    std::string current;   // CurrentTessel
    std::string rotation;  // RotationEnabled, "1" or "0"
    bool operator==(const PreviewValues&) const = default;
};

class TesselPreviewGuard {
  public:
    // The window's thread, when a Tessel's Preview is given: the ticket of the one preview,
    // or nullopt while another runs (the second is refused).
    [[nodiscard]] std::optional<std::uint64_t> Claim();
    // A preview is claimed and its values are not back yet.
    [[nodiscard]] bool Busy() const;

    // OK before it stores anything, a delete before it stores a list, and the dialog's end:
    // the values of a running preview are put back now (those that still hold what the
    // preview wrote), and a preview still waiting for its launch is called off. After it the
    // preview's thread writes nothing and starts nothing. Throws config::ConfigError when a
    // write fails (the claim ends all the same).
    void Settle(platform::Registry& registry);

    // ---- the preview's thread ----
    enum class Begun { Started, CalledOff, StartFailed };
    // Unless `ticket` was settled meanwhile: remembers the user's values, writes the
    // preview's (the one Tessel, current, no rotation) and starts the show with `start`, all
    // under the guard, so that an OK cannot come between. `start` must show nothing: the
    // window's thread may be waiting for the guard. When the start fails the values are put
    // back at once and the claim ends. Throws config::ConfigError when a write fails (what
    // could be written back is, and the claim ends).
    Begun Begin(std::uint64_t ticket, platform::Registry& registry, std::string_view tessel,
                const std::function<std::unique_ptr<platform::RunningProcess>()>& start,
                std::unique_ptr<platform::RunningProcess>& show);
    // The ticket's values are still out (nobody settled them).
    [[nodiscard]] bool Pending(std::uint64_t ticket) const;
    // Puts the ticket's values back unless it was settled, and ends the claim.
    void Finish(std::uint64_t ticket, platform::Registry& registry);
    // The claim ends without a preview (its thread could not be started).
    void Release(std::uint64_t ticket);

  private:
    void RestoreLocked(platform::Registry& registry);

    mutable std::mutex mutex_;
    std::uint64_t lastTicket_ = 0;
    std::optional<std::uint64_t> claimed_;  // the preview that runs
    // While the preview's values are stored: the user's, and what the preview wrote.
    std::optional<PreviewValues> remembered_;
    std::optional<PreviewValues> written_;
};

// The dialog's guard, settled when the dialog goes (a member of the window, after the
// program's wait for its launches): whatever preview is still out is put back then.
class TesselPreviewOwner {
  public:
    explicit TesselPreviewOwner(platform::Registry& registry)
        : registry_(registry), guard_(std::make_shared<TesselPreviewGuard>()) {}
    ~TesselPreviewOwner();
    TesselPreviewOwner(const TesselPreviewOwner&) = delete;
    TesselPreviewOwner& operator=(const TesselPreviewOwner&) = delete;
    [[nodiscard]] const std::shared_ptr<TesselPreviewGuard>& guard() const { return guard_; }

  private:
    platform::Registry& registry_;
    std::shared_ptr<TesselPreviewGuard> guard_;
};

// The show has read the preview's values: its process has ended, or has a window on the
// screen.
[[nodiscard]] bool ShowHasRead(platform::Desktop& desktop, platform::RunningProcess& show);

// The preview's thread after its second's wait: Begin, then wait (polling every
// kPreviewPollMs on the platform's clock) until the show has read the values, the bound has
// passed or someone settled, then Finish. Failures are told through platform.dialogs, never
// under the guard.
void RunTesselPreview(const platform::Platform& platform, TesselPreviewGuard& guard,
                      std::uint64_t ticket, const std::string& tessel,
                      const std::function<std::unique_ptr<platform::RunningProcess>()>& start);

}  // namespace qv::settings
