#include "saver/hot_spots.h"

namespace qv::saver {

namespace {

constexpr int kBandHeight = 40;
constexpr int kBottomBand = 440;
constexpr int kColumnWidth = 160;
constexpr int kLayoutWidth = 640;

}  // namespace

int CheckForHotspot(int x, int y) {
    if (x < 0 || y < 0 || x >= kLayoutWidth) {
        return 0;
    }
    if (y < kBandHeight) {
        return x / kColumnWidth + 1;
    }
    if (y >= kBottomBand) {
        return x / kColumnWidth + 5;
    }
    return 0;
}

}  // namespace qv::saver
