#include "imaging/jpeg_header.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace qv::imaging {

namespace {

// libjpeg's default error handler ends the process; this one jumps back to the caller.
struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
    std::longjmp(manager->escape, 1);
}

void Silent(j_common_ptr, int) {}

}  // namespace

std::optional<JpegInfo> ReadJpegHeader(std::span<const std::uint8_t> data) {
    if (data.empty()) {
        return std::nullopt;
    }
    // Plain C objects only between setjmp and longjmp: nothing here has a destructor.
    jpeg_decompress_struct decoder{};
    JumpingErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpBack;
    errors.base.emit_message = Silent;
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
