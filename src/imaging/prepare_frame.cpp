#include "imaging/prepare_frame.h"

#include <utility>

#include "imaging/exif_orientation.h"
#include "imaging/jpeg_header.h"
#include "imaging/resample.h"

namespace qv::imaging {

PreparedFrame PrepareFrame(std::span<const std::uint8_t> jpeg, int boxWidth, int boxHeight,
                           const PrepareOptions& options) {
    PreparedFrame prepared;
    const auto info = ReadJpegHeader(jpeg);
    if (!info) {
        return prepared;
    }
    const Orientation orientation = ReadExifOrientation(jpeg).value_or(Orientation::Upright);
    const bool swap = SwapsSides(orientation);
    const PictureSize upright =
        swap ? PictureSize{info->height, info->width} : PictureSize{info->width, info->height};
    const Placement placement = FitInside(upright, {boxWidth, boxHeight}, options.enlarge);
    if (placement.size.width == 0) {
        return prepared;
    }
    // The decoder works on the stored rows, before they are turned.
    const PictureSize wanted =
        swap ? PictureSize{placement.size.height, placement.size.width} : placement.size;
    Frame decoded;
    prepared.status =
        DecodeJpeg(jpeg, decoded, options.limits,
                   ChooseDctScale(info->width, info->height, wanted.width, wanted.height));
    if (prepared.status != DecodeStatus::Ok && prepared.status != DecodeStatus::Truncated) {
        return prepared;
    }
    ApplyOrientation(decoded, orientation);
    if (decoded.width == placement.size.width && decoded.height == placement.size.height) {
        prepared.frame = std::move(decoded);
    } else if (!Resample(decoded, placement.size.width, placement.size.height, prepared.frame)) {
        prepared.status = DecodeStatus::Failed;
        return prepared;
    }
    prepared.x = placement.x;
    prepared.y = placement.y;
    return prepared;
}

}  // namespace qv::imaging
