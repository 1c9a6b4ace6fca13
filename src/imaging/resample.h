// Resampling a frame to another size with a separable Catmull-Rom filter.
#pragma once

#include "imaging/jpeg_decoder.h"

namespace qv::imaging {

// Resamples `source` to `width` x `height` into `target` (its buffer reused when the size is
// the same). The filter runs over the stored sRGB values, clamped at the picture's edges, so
// a flat picture stays flat to its borders. False, with `target` untouched, for an empty
// source or size.
bool Resample(const Frame& source, int width, int height, Frame& target);

}  // namespace qv::imaging
