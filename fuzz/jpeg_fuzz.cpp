// Fuzzes the JPEG decode wrapper: header checks, error returns, the scan guard and the
// colour conversions.
#include <cstddef>
#include <cstdint>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    (void)qv::imaging::ReadJpegHeader(bytes);
    qv::imaging::Frame frame;
    // Smaller caps than the show's keep each run quick.
    (void)qv::imaging::DecodeJpeg(bytes, frame,
                                  {.maxPixels = 4'000'000, .maxDimension = 4096, .maxScans = 16});
    return 0;
}
