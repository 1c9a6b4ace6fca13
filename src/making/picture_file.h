// What the readers share: a picture file's bytes with a reason when they cannot be had,
// and the one fitting of a decoded frame into the box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "making/picture_reader.h"

namespace qv::making {

// No picture file a Tessel could hold is larger (the whole Tessel stays under 1 GB).
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 30;

struct FileBytes {
    std::optional<std::vector<std::uint8_t>> bytes;
    std::string reason;  // when there are none: "cannot open: ...", "is a folder, not a file"
};

[[nodiscard]] FileBytes ReadPictureFile(const std::string& path);

// The extension of a path, lower case, with its dot ("" when it has none).
[[nodiscard]] std::string LowerExtension(const std::string& path);

// Fits an upright frame inside the box (aspect kept, never enlarged) with the show's
// resampler; false when the frame is empty.
bool FitFrame(imaging::Frame& frame, std::optional<FitBox> fit);

// "too large to make into a Tessel (65535 x 65535; at most 40 million pixels, 16384 on a side)"
[[nodiscard]] std::string TooLargeReason(std::uint64_t width, std::uint64_t height,
                                         const imaging::DecodeLimits& limits);

}  // namespace qv::making
