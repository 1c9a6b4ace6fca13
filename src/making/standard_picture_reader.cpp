#include "making/standard_picture_reader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <csetjmp>
#include <cstring>

#include <png.h>

#include "imaging/exif_orientation.h"
#include "imaging/jpeg_header.h"
#include "imaging/prepare_frame.h"
#include "making/picture_file.h"

namespace qv::making {

namespace {

constexpr std::array<std::string_view, 5> kExtensions = {".jpg", ".jpeg", ".jpe", ".jfif", ".png"};
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsPng(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

// Why PrepareFrame gave no whole picture, in words.
std::string WhyNotJpeg(std::span<const std::uint8_t> bytes, imaging::DecodeStatus status,
                       const imaging::DecodeLimits& limits) {
    const auto header = imaging::CheckJpegHeader(bytes);
    const auto width = static_cast<std::uint64_t>(std::max(header.info.width, 0));
    const auto height = static_cast<std::uint64_t>(std::max(header.info.height, 0));
    // libjpeg itself refuses sides past 65500 as damage; the sides were read all the same.
    const bool tooLarge = status == imaging::DecodeStatus::TooLarge ||
                          width > static_cast<std::uint64_t>(limits.maxDimension) ||
                          height > static_cast<std::uint64_t>(limits.maxDimension);
    if (tooLarge && width > 0 && height > 0) {
        return TooLargeReason(width, height, limits);
    }
    if (header.verdict != imaging::JpegVerdict::Supported) {
        return imaging::Describe(header);
    }
    switch (status) {
        case imaging::DecodeStatus::Truncated:
            return "a JPEG cut short (its data ends before the picture does)";
        default:
            return "a damaged JPEG";
    }
}

PictureRead ReadJpeg(std::vector<std::uint8_t> bytes, std::optional<FitBox> fit) {
    const imaging::PrepareOptions options{.enlarge = imaging::Enlarge::Never};
    const FitBox box = fit.value_or(FitBox{INT_MAX, INT_MAX});
    auto prepared = imaging::PrepareFrame(bytes, box.width, box.height, options);
    if (prepared.status != imaging::DecodeStatus::Ok) {
        return {false, WhyNotJpeg(bytes, prepared.status, options.limits), {}, {}};
    }
    PictureRead read{true, {}, std::move(prepared.frame), {}};
    // Upright and at its own size: the file itself may go into the Tessel as it is.
    const auto header = imaging::ReadJpegHeader(bytes);
    const auto orientation = imaging::ReadExifOrientation(bytes);
    if (header && header->width == read.frame.width && header->height == read.frame.height &&
        orientation.value_or(imaging::Orientation::Upright) == imaging::Orientation::Upright) {
        read.jpeg = std::move(bytes);
    }
    return read;
}

// libpng reports errors by longjmp: everything the decode fills lives with the caller, so
// nothing of its own is skipped by the jump.
struct PngScratch {
    std::vector<std::uint8_t> rows;  // BGRA rows: one, or every one of an interlaced picture
    std::vector<png_bytep> pointers;
    std::array<char, 160> message{};
};

struct PngInput {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

void ReadFromMemory(png_structp png, png_bytep into, png_size_t count) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (count > input->bytes.size() - input->at) {
        png_error(png, "the file ends before the picture does");
    }
    std::memcpy(into, input->bytes.data() + input->at, count);
    input->at += count;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* scratch = static_cast<PngScratch*>(png_get_error_ptr(png));
    std::strncpy(scratch->message.data(), message, scratch->message.size() - 1);
    std::longjmp(png_jmpbuf(png), 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Composites a BGRA row on black into the frame's BGR row.
void CompositeRow(const std::uint8_t* bgra, std::uint8_t* bgr, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        const unsigned alpha = bgra[3];
        for (int c = 0; c < 3; ++c) {
            bgr[c] = static_cast<std::uint8_t>((bgra[c] * alpha + 127) / 255);
        }
    }
}

struct PngReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngReadState(const PngReadState&) = delete;
    PngReadState& operator=(const PngReadState&) = delete;
    explicit PngReadState(PngScratch& scratch)
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, &scratch, OnPngError, OnPngWarning)),
          info(png != nullptr ? png_create_info_struct(png) : nullptr) {}
    ~PngReadState() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

enum class PngOutcome { Ok, Failed, TooLarge };

// Every kind of PNG (palette, grey, 16-bit, alpha, interlaced) as 8-bit BGR, on black.
PngOutcome DecodePng(PngReadState& state, PngInput& input, imaging::Frame& frame,
                     PngScratch& scratch, const imaging::DecodeLimits& limits) {
    png_structp png = state.png;
    png_infop info = state.info;
    if (setjmp(png_jmpbuf(png))) {
        return PngOutcome::Failed;
    }
    png_set_read_fn(png, &input, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width > static_cast<png_uint_32>(limits.maxDimension) ||
        height > static_cast<png_uint_32>(limits.maxDimension) ||
        std::uint64_t{width} * height > limits.maxPixels) {
        frame.width = static_cast<int>(width);
        frame.height = static_cast<int>(height);
        return PngOutcome::TooLarge;
    }
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    frame.width = static_cast<int>(width);
    frame.height = static_cast<int>(height);
    frame.stride = imaging::DibStride(frame.width);
    frame.pixels.assign(frame.stride * height, 0);
    const std::size_t rowBytes = std::size_t{width} * 4;
    const auto frameRow = [&frame](png_uint_32 y) {
        return frame.pixels.data() +
               (static_cast<std::size_t>(frame.height) - 1 - y) * frame.stride;
    };
    if (passes > 1) {
        scratch.rows.assign(rowBytes * height, 0);
        scratch.pointers.resize(height);
        for (png_uint_32 y = 0; y < height; ++y) {
            scratch.pointers[y] = scratch.rows.data() + rowBytes * y;
        }
        png_read_image(png, scratch.pointers.data());
        for (png_uint_32 y = 0; y < height; ++y) {
            CompositeRow(scratch.pointers[y], frameRow(y), width);
        }
        return PngOutcome::Ok;
    }
    scratch.rows.resize(rowBytes);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, scratch.rows.data(), nullptr);
        CompositeRow(scratch.rows.data(), frameRow(y), width);
    }
    return PngOutcome::Ok;
}

PictureRead ReadPng(std::span<const std::uint8_t> bytes, std::optional<FitBox> fit) {
    PngScratch scratch;
    PngReadState state(scratch);
    if (state.info == nullptr) {
        return {false, "not enough memory to read the PNG picture", {}, {}};
    }
    PngInput input{bytes};
    const imaging::DecodeLimits limits;
    // The sides, from the header that follows the signature, before libpng reads on.
    if (bytes.size() >= 24 && std::memcmp(bytes.data() + 12, "IHDR", 4) == 0) {
        auto side = [&bytes](std::size_t at) {
            return std::uint64_t{bytes[at]} << 24 | std::uint64_t{bytes[at + 1]} << 16 |
                   std::uint64_t{bytes[at + 2]} << 8 | bytes[at + 3];
        };
        const auto max = static_cast<std::uint64_t>(limits.maxDimension);
        if (side(16) > max || side(20) > max || side(16) * side(20) > limits.maxPixels) {
            return {false, TooLargeReason(side(16), side(20), limits), {}, {}};
        }
    }
    PictureRead read;
    switch (DecodePng(state, input, read.frame, scratch, limits)) {
        case PngOutcome::TooLarge:
            return {false,
                    TooLargeReason(static_cast<std::uint64_t>(read.frame.width),
                                   static_cast<std::uint64_t>(read.frame.height), limits),
                    {},
                    {}};
        case PngOutcome::Failed:
            return {false,
                    std::string("a damaged PNG picture (") + scratch.message.data() + ")",
                    {},
                    {}};
        case PngOutcome::Ok:
            break;
    }
    read.ok = FitFrame(read.frame, fit);
    if (!read.ok) {
        read.reason = "a PNG picture that cannot be resized";
    }
    return read;
}

class StandardReader final : public PictureReader {
  public:
    [[nodiscard]] bool Knows(std::string_view path) const override {
        const std::string extension = LowerExtension(std::string(path));
        return std::find(kExtensions.begin(), kExtensions.end(), extension) != kExtensions.end();
    }

    [[nodiscard]] PictureRead Read(const std::string& path, std::optional<FitBox> fit) override {
        auto file = ReadPictureFile(path);
        if (!file.bytes) {
            return {false, file.reason, {}, {}};
        }
        if (IsPng(*file.bytes)) {
            return ReadPng(*file.bytes, fit);
        }
        if (LowerExtension(path) == ".png") {
            return {false, "not a PNG picture", {}, {}};
        }
        return ReadJpeg(std::move(*file.bytes), fit);
    }
};

}  // namespace

std::unique_ptr<PictureReader> StandardPictureReader() {
    return std::make_unique<StandardReader>();
}

}  // namespace qv::making
