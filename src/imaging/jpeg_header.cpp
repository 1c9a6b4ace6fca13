#include "imaging/jpeg_header.h"

#include "imaging/jpeg_error.h"

namespace qv::imaging {

std::optional<JpegInfo> ReadJpegHeader(std::span<const std::uint8_t> data) {
    if (data.empty()) {
        return std::nullopt;
    }
    // Plain C objects only between setjmp and longjmp: nothing here has a destructor.
    jpeg_decompress_struct decoder{};
    JumpingErrorManager errors{};
    decoder.err = InstallJumpingErrors(errors);
    if (setjmp(errors.escape) != 0) {
        jpeg_destroy_decompress(&decoder);
        return std::nullopt;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder, TRUE);
    const JpegInfo info{static_cast<int>(decoder.image_width),
                        static_cast<int>(decoder.image_height), decoder.num_components};
    jpeg_destroy_decompress(&decoder);
    return info;
}

}  // namespace qv::imaging
