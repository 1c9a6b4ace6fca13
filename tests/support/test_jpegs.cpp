#include "test_jpegs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>

#include <jpeglib.h>

namespace qv::testing {

std::vector<std::uint8_t> MakeJpeg(const JpegOptions& options) {
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &out, &size);
    encoder.image_width = static_cast<JDIMENSION>(options.width);
    encoder.image_height = static_cast<JDIMENSION>(options.height);
    const int components = options.kind == JpegKind::Gray   ? 1
                           : options.kind == JpegKind::Cmyk ? 4
                                                            : 3;
    encoder.input_components = components;
    encoder.in_color_space = options.kind == JpegKind::Gray   ? JCS_GRAYSCALE
                             : options.kind == JpegKind::Cmyk ? JCS_CMYK
                                                              : JCS_RGB;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, options.quality, TRUE);
    if (options.progressive) {
        jpeg_simple_progression(&encoder);
    }
    jpeg_start_compress(&encoder, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(options.width * components));
    while (encoder.next_scanline < encoder.image_height) {
        const int y = static_cast<int>(encoder.next_scanline);
        for (int x = 0; x < options.width; ++x) {
            for (int c = 0; c < components; ++c) {
                int value = options.smooth
                                ? static_cast<int>(128 + 60 * std::sin((x + 40 * c) / 97.0) +
                                                   50 * std::cos(y / 71.0) + (x + y) % 16)
                                : (x * 7 + y * 5 + c * 60 + (x ^ y) * 3) & 0xFF;
                if (options.solid && c < 3) {
                    value = (*options.solid)[static_cast<std::size_t>(c)];
                }
                if (options.quadrants && c < 3) {
                    const std::size_t quadrant =
                        (y < options.height / 2 ? 0 : 2) + (x < options.width / 2 ? 0 : 1);
                    value = (*options.quadrants)[quadrant][static_cast<std::size_t>(c)];
                }
                row[static_cast<std::size_t>(x * components + c)] =
                    static_cast<JSAMPLE>(std::clamp(value, 0, 255));
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&encoder, rows, 1);
    }
    jpeg_finish_compress(&encoder);
    std::vector<std::uint8_t> bytes(out, out + size);
    jpeg_destroy_compress(&encoder);
    std::free(out);
    return bytes;
}

std::vector<std::uint8_t> SolidJpeg(int width, int height, std::array<std::uint8_t, 3> colour) {
    return MakeJpeg(JpegOptions{.width = width, .height = height, .quality = 95, .solid = colour});
}

std::vector<std::uint8_t> MakeJpegHeader(int precision, int components, std::uint8_t frameMarker) {
    const auto n = static_cast<std::uint8_t>(components);
    std::vector<std::uint8_t> bytes = {0xFF,
                                       0xD8,
                                       0xFF,
                                       frameMarker,
                                       0,
                                       static_cast<std::uint8_t>(8 + 3 * n),
                                       static_cast<std::uint8_t>(precision),
                                       0,
                                       8,
                                       0,
                                       8,
                                       n};
    for (std::uint8_t c = 1; c <= n; ++c) {
        bytes.insert(bytes.end(), {c, 0x11, 0});  // id, 1 x 1 sampling, table 0
    }
    bytes.insert(bytes.end(), {0xFF, 0xDA, 0, static_cast<std::uint8_t>(6 + 2 * n), n});
    for (std::uint8_t c = 1; c <= n; ++c) {
        bytes.insert(bytes.end(), {c, 0});
    }
    bytes.insert(bytes.end(), {0, 63, 0, 0, 0, 0xFF, 0xD9});
    return bytes;
}

std::vector<std::uint8_t> ExifSegment(std::uint16_t orientation, bool bigEndian) {
    std::vector<std::uint8_t> segment;
    auto bytes = [&](std::initializer_list<unsigned> values) {
        for (const unsigned v : values) {
            segment.push_back(static_cast<std::uint8_t>(v));
        }
    };
    auto u16 = [&](unsigned v) {
        bigEndian ? bytes({v >> 8, v & 0xFF}) : bytes({v & 0xFF, v >> 8});
    };
    auto u32 = [&](unsigned v) {
        bigEndian ? (u16(v >> 16), u16(v & 0xFFFF)) : (u16(v & 0xFFFF), u16(v >> 16));
    };
    bytes({0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0});
    const unsigned order = bigEndian ? 'M' : 'I';
    bytes({order, order});
    u16(42);
    u32(8);  // IFD0 right after the TIFF header
    u16(2);
    u16(0x010F);  // Make: ASCII, 4 bytes, held in the entry itself
    u16(2);
    u32(4);
    bytes({'Q', 'V', 0, 0});
    u16(0x0112);  // Orientation: one SHORT
    u16(3);
    u32(1);
    u16(orientation);
    u16(0);
    u32(0);  // no next IFD
    const std::size_t length = segment.size() - 2;
    segment[2] = static_cast<std::uint8_t>(length >> 8);
    segment[3] = static_cast<std::uint8_t>(length);
    return segment;
}

std::vector<std::uint8_t> WithSegment(std::vector<std::uint8_t> jpeg,
                                      const std::vector<std::uint8_t>& segment) {
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto dir = std::filesystem::temp_directory_path() / "qv-unit-tests";
    std::filesystem::create_directories(dir);
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace qv::testing
