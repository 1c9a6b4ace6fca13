#include "making/jpeg_encoder.h"

#include <cstdlib>

#include "imaging/jpeg_error.h"

namespace qv::making {

namespace {

// libjpeg's memory destination grows a buffer of its own with malloc.
struct EncodeState {
    jpeg_compress_struct encoder{};
    imaging::JumpingErrorManager errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;  // NOLINT(google-runtime-int): libjpeg's type
    EncodeState() = default;
    EncodeState(const EncodeState&) = delete;
    EncodeState& operator=(const EncodeState&) = delete;
    ~EncodeState() {
        jpeg_destroy_compress(&encoder);
        std::free(buffer);  // NOLINT(cppcoreguidelines-no-malloc): libjpeg's allocation
    }
};

bool Encode(EncodeState& state, const imaging::Frame& frame, int quality) {
    jpeg_compress_struct& encoder = state.encoder;
    encoder.err = imaging::InstallJumpingErrors(state.errors);
    if (setjmp(state.errors.escape)) {
        return false;
    }
    jpeg_create_compress(&encoder);
    jpeg_mem_dest(&encoder, &state.buffer, &state.size);
    encoder.image_width = static_cast<JDIMENSION>(frame.width);
    encoder.image_height = static_cast<JDIMENSION>(frame.height);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    // The frame's rows are stored bottom-up.
    while (encoder.next_scanline < encoder.image_height) {
        const std::size_t row = static_cast<std::size_t>(frame.height) - 1 - encoder.next_scanline;
        JSAMPROW pointer = const_cast<JSAMPLE*>(frame.pixels.data() + row * frame.stride);
        jpeg_write_scanlines(&encoder, &pointer, 1);
    }
    jpeg_finish_compress(&encoder);
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeJpeg(const imaging::Frame& frame, int quality) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() < frame.stride * static_cast<std::size_t>(frame.height)) {
        return std::nullopt;
    }
    EncodeState state;
    if (!Encode(state, frame, quality < 1 ? 1 : quality > 100 ? 100 : quality)) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(state.buffer, state.buffer + state.size);
}

}  // namespace qv::making
