// The reader of every platform: JPEG through libjpeg-turbo, PNG through libpng.
#pragma once

#include <memory>

#include "making/picture_reader.h"

namespace qv::making {

[[nodiscard]] std::unique_ptr<PictureReader> StandardPictureReader();

}  // namespace qv::making
