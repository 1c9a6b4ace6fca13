#include "imaging/jpeg_decoder.h"

#include "imaging/jpeg_error.h"

#include <jerror.h>

namespace qv::imaging {

namespace {

struct ScanGuard {
    jpeg_progress_mgr base;
    int maxScans;
};

void CheckScans(j_common_ptr info) {
    auto* guard = reinterpret_cast<ScanGuard*>(info->progress);
    const auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->input_scan_number > guard->maxScans) {
        info->err->msg_code = JERR_NOT_COMPILED;  // any error code: the decode is abandoned
        (*info->err->error_exit)(info);
    }
}

void ShapeFrame(Frame& frame, int width, int height) {
    const std::size_t stride = DibStride(width);
    frame.width = width;
    frame.height = height;
    frame.stride = stride;
    frame.pixels.resize(stride * static_cast<std::size_t>(height));  // same size: no new memory
}

// Adobe files store CMYK inverted; this is the conversion libjpeg's own tools use.
void CmykRowToBgr(const JSAMPLE* cmyk, std::uint8_t* bgr, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = cmyk[3];
        bgr[2] = static_cast<std::uint8_t>((cmyk[0] * k + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((cmyk[1] * k + 127) / 255);
        bgr[0] = static_cast<std::uint8_t>((cmyk[2] * k + 127) / 255);
    }
}

void GrayRowToBgr(const JSAMPLE* gray, std::uint8_t* bgr, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, bgr += 3) {
        bgr[0] = bgr[1] = bgr[2] = gray[x];
    }
}

}  // namespace

DctScale ChooseDctScale(int width, int height, int wantedWidth, int wantedHeight) {
    for (const DctScale scale : {DctScale::Eighth, DctScale::Quarter, DctScale::Half}) {
        const int d = static_cast<int>(scale);
        const int reducedWidth = width / d + (width % d != 0 ? 1 : 0);
        const int reducedHeight = height / d + (height % d != 0 ? 1 : 0);
        if (reducedWidth >= wantedWidth && reducedHeight >= wantedHeight) {
            return scale;
        }
    }
    return DctScale::Full;
}

DecodeStatus DecodeJpeg(std::span<const std::uint8_t> data, Frame& frame,
                        const DecodeLimits& limits, DctScale scale) {
    if (data.empty()) {
        return DecodeStatus::Failed;
    }
    // Plain C objects only between setjmp and longjmp: nothing here has a destructor, and
    // nothing changed after setjmp is read once it has jumped.
    jpeg_decompress_struct decoder{};
    JumpingErrorManager errors{};
    ScanGuard guard{};
    decoder.err = InstallJumpingErrors(errors);
    if (setjmp(errors.escape) != 0) {
        jpeg_destroy_decompress(&decoder);
        return DecodeStatus::Failed;
    }
    jpeg_create_decompress(&decoder);
    guard.base.progress_monitor = CheckScans;
    guard.maxScans = limits.maxScans;
    decoder.progress = &guard.base;
    jpeg_mem_src(&decoder, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder, TRUE);

    const std::uint64_t pixels = std::uint64_t{decoder.image_width} * decoder.image_height;
    if (decoder.image_width > static_cast<JDIMENSION>(limits.maxDimension) ||
        decoder.image_height > static_cast<JDIMENSION>(limits.maxDimension) ||
        pixels > limits.maxPixels) {
        jpeg_destroy_decompress(&decoder);
        return DecodeStatus::TooLarge;
    }
    const J_COLOR_SPACE source = decoder.jpeg_color_space;
    const bool cmyk = source == JCS_CMYK || source == JCS_YCCK;
    const bool gray = source == JCS_GRAYSCALE;
    // libjpeg refuses BGR output from CMYK; grey is expanded here as well.
    decoder.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
    decoder.scale_num = 1;
    decoder.scale_denom = static_cast<unsigned>(scale);
    jpeg_start_decompress(&decoder);

    ShapeFrame(frame, static_cast<int>(decoder.output_width),
               static_cast<int>(decoder.output_height));
    JSAMPARRAY convert = nullptr;
    if (cmyk || gray) {
        convert = (*decoder.mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE,
            decoder.output_width * static_cast<JDIMENSION>(decoder.output_components), 1);
    }
    while (decoder.output_scanline < decoder.output_height) {
        const std::size_t row = decoder.output_height - 1 - decoder.output_scanline;
        std::uint8_t* target = frame.pixels.data() + row * frame.stride;
        if (convert == nullptr) {
            JSAMPROW rows[] = {target};
            jpeg_read_scanlines(&decoder, rows, 1);
        } else {
            jpeg_read_scanlines(&decoder, convert, 1);
            if (cmyk) {
                CmykRowToBgr(convert[0], target, decoder.output_width);
            } else {
                GrayRowToBgr(convert[0], target, decoder.output_width);
            }
        }
    }
    jpeg_finish_decompress(&decoder);
    const bool truncated = errors.base.num_warnings > 0;
    jpeg_destroy_decompress(&decoder);
    return truncated ? DecodeStatus::Truncated : DecodeStatus::Ok;
}

}  // namespace qv::imaging
