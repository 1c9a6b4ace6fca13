// Fuzzes the JPEG decode wrapper: header checks, error returns, the scan guard and the
// colour conversions, and the whole preparation for a box (reduced decode, orientation,
// fit, resample).
#include <cstddef>
#include <cstdint>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/prepare_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    (void)qv::imaging::ReadJpegHeader(bytes);
    // Smaller caps than the show's keep each run quick.
    const qv::imaging::DecodeLimits limits{
        .maxPixels = 4'000'000, .maxDimension = 4096, .maxScans = 16};
    qv::imaging::Frame frame;
    (void)qv::imaging::DecodeJpeg(bytes, frame, limits);
    // A box of its own for each input, so reduced decodes and both fits are reached.
    const int box = 8 + static_cast<int>(size % 97);
    (void)qv::imaging::PrepareFrame(
        bytes, box, box * 3 / 4,
        {.enlarge = size % 2 == 0 ? qv::imaging::Enlarge::Allowed : qv::imaging::Enlarge::Never,
         .limits = limits});
    return 0;
}
