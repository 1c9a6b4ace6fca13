// Fitting a picture into a box (a monitor, a Tessel's page) keeping its aspect ratio.
#pragma once

namespace qv::imaging {

struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The fitted picture and its top-left corner in the box; the rest of the box is letterbox.
struct Placement {
    PictureSize size;
    int x = 0;
    int y = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};

enum class Enlarge { Allowed, Never };

// The largest size with the source's aspect ratio that fits inside the box (rounded to the
// nearest pixel, never below 1), centred. With Enlarge::Never a source that already fits
// keeps its own size. An empty source or box gives an empty placement.
[[nodiscard]] Placement FitInside(PictureSize source, PictureSize box, Enlarge enlarge);

}  // namespace qv::imaging
