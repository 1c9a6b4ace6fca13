// The Windows reader: the system's imaging component first for the formats it decodes
// (BMP, GIF, TIFF, and HEIC or WebP where installed), JPEG and PNG through the standard
// reader. COM is initialised on the reading thread for each read (a thread that has it in
// another apartment keeps it).
#pragma once

#include <memory>

#include "making/picture_reader.h"

namespace qv::making::win32 {

[[nodiscard]] std::unique_ptr<PictureReader> SystemPictureReader();

}  // namespace qv::making::win32
