// A JPEG made ready for a box: decoded as small as serves, turned upright, fitted, resampled.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/jpeg_decoder.h"
#include "imaging/picture_fit.h"

namespace qv::imaging {

struct PrepareOptions {
    // The show enlarges small pictures to fill a monitor; the Tessel maker never does.
    Enlarge enlarge = Enlarge::Allowed;
    DecodeLimits limits = {};
};

struct PreparedFrame {
    DecodeStatus status = DecodeStatus::Failed;
    Frame frame;  // upright, at the fitted size; empty unless the status is Ok or Truncated
    int x = 0;    // the frame's corner in the box
    int y = 0;
};

PreparedFrame PrepareFrame(std::span<const std::uint8_t> jpeg, int boxWidth, int boxHeight,
                           const PrepareOptions& options = {});

}  // namespace qv::imaging
