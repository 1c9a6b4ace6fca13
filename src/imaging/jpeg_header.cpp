#include "imaging/jpeg_header.h"

#include "imaging/jpeg_error.h"

#include <jerror.h>

namespace qv::imaging {

namespace {

// The colour spaces the decoder turns into BGR.
bool DecoderConverts(J_COLOR_SPACE space) {
    return space == JCS_GRAYSCALE || space == JCS_YCbCr || space == JCS_RGB || space == JCS_CMYK ||
           space == JCS_YCCK;
}

JpegVerdict VerdictForError(int code) {
    switch (code) {
        case JERR_NO_SOI:
            return JpegVerdict::NotJpeg;
        case JERR_BAD_PRECISION:
            return JpegVerdict::UnsupportedPrecision;
        case JERR_SOF_UNSUPPORTED:
        case JERR_ARITH_NOTIMPL:
            return JpegVerdict::UnsupportedProcess;
        default:
            return JpegVerdict::Damaged;
    }
}

}  // namespace

JpegHeaderCheck CheckJpegHeader(std::span<const std::uint8_t> data) {
    JpegHeaderCheck check;
    if (data.empty()) {
        return check;
    }
    // Plain C objects only between setjmp and longjmp: nothing here has a destructor. The
    // decoder and the error manager are read after the jump only through memory libjpeg
    // wrote via pointers, as libjpeg's own examples do.
    jpeg_decompress_struct decoder{};
    JumpingErrorManager errors{};
    decoder.err = InstallJumpingErrors(errors);
    if (setjmp(errors.escape) != 0) {
        check.verdict = VerdictForError(errors.base.msg_code);
        // The message's first parameter is the precision the frame declared.
        check.precision = check.verdict == JpegVerdict::UnsupportedPrecision
                              ? errors.base.msg_parm.i[0]
                              : decoder.data_precision;
        check.info = {static_cast<int>(decoder.image_width), static_cast<int>(decoder.image_height),
                      decoder.num_components};
        jpeg_destroy_decompress(&decoder);
        return check;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder, TRUE);
    check.info = {static_cast<int>(decoder.image_width), static_cast<int>(decoder.image_height),
                  decoder.num_components};
    check.precision = decoder.data_precision;
    check.verdict = DecoderConverts(decoder.jpeg_color_space) ? JpegVerdict::Supported
                                                              : JpegVerdict::UnsupportedColourSpace;
    jpeg_destroy_decompress(&decoder);
    return check;
}

std::string Describe(const JpegHeaderCheck& check) {
    switch (check.verdict) {
        case JpegVerdict::Supported:
            return "a JPEG the show can decode";
        case JpegVerdict::NotJpeg:
            return "not a JPEG picture";
        case JpegVerdict::Damaged:
            return "a damaged JPEG (its header cannot be read)";
        case JpegVerdict::UnsupportedPrecision:
            return "a JPEG of " + std::to_string(check.precision) +
                   "-bit samples, which the decoder does not support (only 8-bit JPEGs can "
                   "be shown)";
        case JpegVerdict::UnsupportedColourSpace:
            return "a JPEG of " + std::to_string(check.info.components) +
                   " colour components in a colour space the decoder does not support (grey, "
                   "YCbCr, RGB, CMYK and YCCK can be shown)";
        case JpegVerdict::UnsupportedProcess:
            return "a lossless or hierarchical JPEG, which the decoder does not support (only "
                   "baseline, extended and progressive JPEGs can be shown)";
    }
    return "a JPEG of unknown kind";
}

std::optional<JpegInfo> ReadJpegHeader(std::span<const std::uint8_t> data) {
    const auto check = CheckJpegHeader(data);
    // An unknown colour space still has a readable header.
    if (check.verdict != JpegVerdict::Supported &&
        check.verdict != JpegVerdict::UnsupportedColourSpace) {
        return std::nullopt;
    }
    return check.info;
}

}  // namespace qv::imaging
