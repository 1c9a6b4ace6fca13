// Where the show's pictures go: which monitors show one, the box each frame is prepared for,
// where it lies in the window, how a pointer position over it maps back to the picture's
// own coordinates (those of the link areas), and the crossfade between two frames.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "config/show_modes.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/picture_fit.h"

namespace qv::saver {

// A rectangle of the virtual screen, in its coordinates (the primary monitor's top-left
// corner is 0,0; monitors left of or above it have negative coordinates), or of the show
// window's client area, whose origin is the virtual screen's top-left corner.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int Width() const { return right - left; }
    [[nodiscard]] int Height() const { return bottom - top; }
    [[nodiscard]] bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The monitors as the show needs them: the whole virtual screen, which its window covers,
// the primary monitor, and every monitor (the primary among them; empty is the primary
// alone).
struct Screens {
    ScreenRect virtualScreen;
    ScreenRect primary;
    std::vector<ScreenRect> monitors{};
};

// The monitors that show a picture, in client coordinates: the primary first, then the
// others from left to right (and top to bottom where two share a left edge), so the order
// of "the next pictures, one per monitor" does not depend on how the system lists them.
// In MonitorUse::PrimaryOnly the primary alone; the rest stays black.
[[nodiscard]] std::vector<ScreenRect> PictureMonitors(const Screens& screens,
                                                      config::MonitorUse use);

// The box a monitor's frame is prepared for: the monitor when pictures fill it, and none
// (the picture's own size) otherwise.
[[nodiscard]] std::optional<imaging::PictureSize> FrameBox(const ScreenRect& monitor,
                                                           config::PictureSize size);

// A frame of `size` centred on `monitor`, rounding toward zero as the show always has.
[[nodiscard]] ScreenRect CentredOn(const ScreenRect& monitor, imaging::PictureSize size);

// A picture as one monitor shows it: where the picture itself lies in the client area (its
// frame may be larger, a black canvas the size of the monitor), and its own upright size.
struct ShownPicture {
    ScreenRect content;
    imaging::PictureSize picture;
};

struct PicturePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PicturePoint&, const PicturePoint&) = default;
};

// The point of the picture under a position of the client area, in the picture's own
// coordinates (so a fitted picture's link areas are where they are drawn); nullopt off the
// picture (the letterbox, another monitor), where the pointer is over the black area.
[[nodiscard]] std::optional<PicturePoint> PictureAt(const ShownPicture& shown, int x, int y);

// `picture` placed with its corner at `x`, `y` on a black frame of `width` x `height`, cut
// where it reaches past the edges.
[[nodiscard]] imaging::Frame OnBlack(const imaging::Frame& picture, int x, int y, int width,
                                     int height);

// A picture made ready for a box the way the show makes its frames: fitted (enlarged or
// reduced, aspect kept) with PictureSize::FillMonitor, unchanged otherwise; the small
// preview's picture is made so for its host. An empty picture or box stays as it is.
[[nodiscard]] imaging::Frame FitPicture(const imaging::Frame& picture, imaging::PictureSize box,
                                        config::PictureSize size);

// A crossfade lasts half a second, in steps about 16 a second (each a blend and a paint of every
// monitor: the goal is 3 % of a core for the show); the window's timer runs only while one does.
inline constexpr int kCrossfadeMs = 500;
inline constexpr int kCrossfadeStepMs = 60;
inline constexpr int kFadeWhole = 256;

// The incoming frame's share at `elapsedMs` into a fade, from 0 to kFadeWhole (reached at
// kCrossfadeMs and after).
[[nodiscard]] int FadeShare(long long elapsedMs);

// One step of a fade, in place, so a fade needs no third frame: `shown`, holding the
// outgoing frame blended with `incoming` at share `from`, is brought to share `to`. At
// kFadeWhole it is `incoming` exactly. Both frames have the same size (they are canvases of
// one monitor); false, with `shown` untouched, otherwise.
bool FadeToward(imaging::Frame& shown, const imaging::Frame& incoming, int from, int to);

}  // namespace qv::saver
