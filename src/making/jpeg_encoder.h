// Encoding a frame as the JPEG a Tessel holds.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/jpeg_decoder.h"

namespace qv::making {

// A baseline JFIF JPEG of the frame at `quality` (1 to 100); nullopt when libjpeg fails.
// It carries no Exif data: its rows are upright as stored.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> EncodeJpeg(const imaging::Frame& frame,
                                                                  int quality);

}  // namespace qv::making
