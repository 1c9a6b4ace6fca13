#include "making/picture_file.h"

#include <climits>
#include <filesystem>
#include <utility>

#include "common/text.h"
#include "imaging/picture_fit.h"
#include "imaging/resample.h"
#include "pe/byte_source.h"

namespace qv::making {

FileBytes ReadPictureFile(const std::string& path) {
    std::error_code error;
    auto source = pe::FileSource::Open(path, error);
    if (!source) {
        return {std::nullopt, error == std::errc::is_a_directory
                                  ? "is a folder, not a file"
                                  : "cannot open: " + error.message()};
    }
    if (source->Size() == 0) {
        return {std::nullopt, "an empty file"};
    }
    if (source->Size() > kMaxPictureFileBytes) {
        return {std::nullopt, "larger than a Tessel can hold (1 GB)"};
    }
    auto bytes = source->Read(0, static_cast<std::size_t>(source->Size()));
    if (!bytes) {
        return {std::nullopt,
                "cannot read: " + std::make_error_code(std::errc::io_error).message()};
    }
    return {std::move(bytes), {}};
}

std::string LowerExtension(const std::string& path) {
    const auto extension = pe::PathFromUtf8(path).extension().u8string();
    return ToLowerAscii(std::string(extension.begin(), extension.end()));
}

bool FitFrame(imaging::Frame& frame, std::optional<FitBox> fit) {
    if (frame.width <= 0 || frame.height <= 0) {
        return false;
    }
    if (!fit) {
        return true;
    }
    const auto placement = imaging::FitInside({frame.width, frame.height},
                                              {fit->width, fit->height}, imaging::Enlarge::Never);
    if (placement.size.width == frame.width && placement.size.height == frame.height) {
        return true;
    }
    imaging::Frame fitted;
    if (!imaging::Resample(frame, placement.size.width, placement.size.height, fitted)) {
        return false;
    }
    frame = std::move(fitted);
    return true;
}

std::string TooLargeReason(std::uint64_t width, std::uint64_t height,
                           const imaging::DecodeLimits& limits) {
    return "too large to make into a Tessel (" + std::to_string(width) + " x " +
           std::to_string(height) + "; at most " + std::to_string(limits.maxPixels / 1'000'000) +
           " million pixels, " + std::to_string(limits.maxDimension) + " on a side)";
}

}  // namespace qv::making
