// The reader of every platform: JPEG through libjpeg-turbo, PNG through libpng.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "making/picture_reader.h"

namespace qv::making {

[[nodiscard]] std::unique_ptr<PictureReader> StandardPictureReader();

// What the standard reader makes of a file's bytes: a PNG by its signature, anything else
// as a JPEG unless `namedPng` (the file's name says PNG, and the bytes are none).
[[nodiscard]] PictureRead ReadPictureBytes(std::vector<std::uint8_t> bytes, bool namedPng,
                                           std::optional<FitBox> fit);

}  // namespace qv::making
