// The eight link areas of a picture, laid out for 640 x 480: four 160-pixel columns in a
// band along the top edge (y < 40) and the same along the bottom edge (y >= 440).
#pragma once

namespace qv::saver {

// 1 to 8, or 0 for none. The row y = 40 belongs to no hot spot.
int CheckForHotspot(int x, int y);

}  // namespace qv::saver
