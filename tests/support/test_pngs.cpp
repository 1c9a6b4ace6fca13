#include "test_pngs.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <png.h>
#include <zlib.h>

namespace qv::testing {

namespace {

struct PngWrite {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> bytes;
    PngWrite() = default;
    PngWrite(const PngWrite&) = delete;
    PngWrite& operator=(const PngWrite&) = delete;
    ~PngWrite() { png_destroy_write_struct(&png, &info); }
};

void Append(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

int ColourType(PngKind kind) {
    switch (kind) {
        case PngKind::Rgba8:
            return PNG_COLOR_TYPE_RGB_ALPHA;
        case PngKind::Rgb16:
            return PNG_COLOR_TYPE_RGB;
        case PngKind::Gray8:
            return PNG_COLOR_TYPE_GRAY;
        case PngKind::Palette8:
            return PNG_COLOR_TYPE_PALETTE;
    }
    return PNG_COLOR_TYPE_RGB;
}

// The picture's distinct colours, for the palette (at most 256 in the tests' pictures).
std::vector<std::array<std::uint8_t, 4>> PaletteOf(const PngOptions& o) {
    std::vector<std::array<std::uint8_t, 4>> palette;
    for (int y = 0; y < o.height; ++y) {
        for (int x = 0; x < o.width; ++x) {
            const auto c = o.colourAt(x, y);
            if (std::find(palette.begin(), palette.end(), c) == palette.end()) {
                palette.push_back(c);
            }
        }
    }
    if (palette.size() > 256) {
        throw std::runtime_error("more than 256 colours for a palette PNG");
    }
    return palette;
}

}  // namespace

std::vector<std::uint8_t> MakePng(const PngOptions& given) {
    PngOptions o = given;
    if (!o.colourAt) {
        o.colourAt = [&o](int x, int y) {
            return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(255 * x / o.width),
                                               static_cast<std::uint8_t>(255 * y / o.height), 60,
                                               255};
        };
    }
    PngWrite w;
    if (setjmp(png_jmpbuf(w.png))) {
        throw std::runtime_error("libpng could not write the test picture");
    }
    png_set_write_fn(w.png, &w.bytes, Append, NoFlush);
    const int depth = o.kind == PngKind::Rgb16 ? 16 : 8;
    png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(o.width),
                 static_cast<png_uint_32>(o.height), depth, ColourType(o.kind),
                 o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<std::array<std::uint8_t, 4>> palette;
    if (o.kind == PngKind::Palette8) {
        palette = PaletteOf(o);
        std::vector<png_color> colours;
        std::vector<png_byte> alphas;
        for (const auto& c : palette) {
            colours.push_back({c[0], c[1], c[2]});
            alphas.push_back(c[3]);
        }
        png_set_PLTE(w.png, w.info, colours.data(), static_cast<int>(colours.size()));
        png_set_tRNS(w.png, w.info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    }
    const std::size_t channels = o.kind == PngKind::Rgba8 ? 4 : o.kind == PngKind::Rgb16 ? 6 : 1;
    std::vector<std::vector<png_byte>> rows(
        static_cast<std::size_t>(o.height),
        std::vector<png_byte>(channels * static_cast<std::size_t>(o.width)));
    for (int y = 0; y < o.height; ++y) {
        auto* row = rows[static_cast<std::size_t>(y)].data();
        for (int x = 0; x < o.width; ++x) {
            const auto c = o.colourAt(x, y);
            auto* p = row + channels * static_cast<std::size_t>(x);
            switch (o.kind) {
                case PngKind::Rgba8:
                    std::memcpy(p, c.data(), 4);
                    break;
                case PngKind::Rgb16:
                    for (int i = 0; i < 3; ++i) {  // big-endian, the high byte the colour
                        p[2 * i] = c[static_cast<std::size_t>(i)];
                        p[2 * i + 1] = 0x80;
                    }
                    break;
                case PngKind::Gray8:
                    p[0] = c[0];
                    break;
                case PngKind::Palette8:
                    p[0] = static_cast<png_byte>(std::find(palette.begin(), palette.end(), c) -
                                                 palette.begin());
                    break;
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& row : rows) {
        pointers.push_back(row.data());
    }
    png_set_rows(w.png, w.info, pointers.data());
    png_write_png(w.png, w.info, PNG_TRANSFORM_IDENTITY, nullptr);
    return w.bytes;
}

std::vector<std::uint8_t> PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    std::vector<std::uint8_t> chunk = {'I', 'H', 'D', 'R'};
    for (const std::uint32_t side : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            chunk.push_back(static_cast<std::uint8_t>(side >> shift));
        }
    }
    chunk.insert(chunk.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, not interlaced
    const auto crc =
        static_cast<std::uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size())));
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(crc >> shift));
    }
    return bytes;
}

}  // namespace qv::testing
