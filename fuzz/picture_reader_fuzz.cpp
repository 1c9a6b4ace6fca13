// Fuzzes the Tessel maker's standard reader over any bytes, as a PNG and as a JPEG (the
// first byte chooses, and the box): no read outside the bytes, no leak across libpng's and
// libjpeg's jumps, and a picture read is never larger than its box.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "making/standard_picture_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const qv::making::FitBox box{1 + data[0] % 64, 1 + data[0] / 4 % 48};
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    const auto read = qv::making::ReadPictureBytes(std::move(bytes), (data[0] & 1) != 0, box);
    if (read.ok && (read.frame.width > box.width || read.frame.height > box.height ||
                    read.frame.pixels.size() <
                        read.frame.stride * static_cast<std::size_t>(read.frame.height))) {
        std::abort();
    }
    return 0;
}
