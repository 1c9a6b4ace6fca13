// Fuzzes the Exif orientation reader and its in-place clearing: no read or write outside the
// bytes, and a cleared tag reads as upright.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that a read one byte past the end is caught.
    std::vector<std::uint8_t> bytes(data, data + size);
    (void)qv::imaging::ReadExifOrientation(bytes);
    if (qv::imaging::ClearExifOrientation(bytes) &&
        qv::imaging::ReadExifOrientation(bytes) != qv::imaging::Orientation::Upright) {
        std::abort();
    }
    return 0;
}
