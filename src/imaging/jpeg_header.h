// Reading what a JPEG holds before any pixel is decoded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qv::imaging {

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 grayscale, 3 YCbCr/RGB, 4 CMYK/YCCK
};

// Whether the decoder can show a JPEG, judged from its header alone.
enum class JpegVerdict {
    Supported,
    NotJpeg,                 // no JPEG start marker
    Damaged,                 // the header is cut short or makes no sense
    UnsupportedPrecision,    // samples of other than 8 bits (12-bit and 16-bit JPEGs)
    UnsupportedColourSpace,  // neither grey, YCbCr, RGB, CMYK nor YCCK
    UnsupportedProcess,      // lossless or hierarchical coding
};

struct JpegHeaderCheck {
    JpegVerdict verdict = JpegVerdict::NotJpeg;
    JpegInfo info;      // as far as the header was read
    int precision = 0;  // bits per sample, when the verdict is about them
};

// Reads the header of a JPEG held in memory. Never exits the process: libjpeg's errors
// come back as a verdict.
JpegHeaderCheck CheckJpegHeader(std::span<const std::uint8_t> data);

// The verdict in words, for a person: "12-bit samples (only 8-bit JPEGs can be shown)".
std::string Describe(const JpegHeaderCheck& check);

// The header when it could be read; nullopt when the data is not a readable JPEG.
std::optional<JpegInfo> ReadJpegHeader(std::span<const std::uint8_t> data);

}  // namespace qv::imaging
