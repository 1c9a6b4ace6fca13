#include "imaging/exif_orientation.h"

#include <array>
#include <cstring>
#include <utility>

namespace qv::imaging {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::array<std::uint8_t, 6> kExifSignature = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kIfdEntrySize = 12;

// Where the orientation's value lies in the JPEG's bytes, and how it is stored.
struct OrientationField {
    std::size_t offset = 0;  // of the 16-bit value, from the start of the JPEG
    bool bigEndian = false;
    std::uint16_t value = 0;
};

class TiffReader {
  public:
    TiffReader(std::span<const std::uint8_t> tiff, bool bigEndian)
        : tiff_(tiff), bigEndian_(bigEndian) {}

    // Each read checks the whole range first (size minus offset, never offset plus size).
    [[nodiscard]] bool Has(std::size_t offset, std::size_t length) const {
        return offset <= tiff_.size() && length <= tiff_.size() - offset;
    }
    [[nodiscard]] std::uint16_t U16(std::size_t at) const {
        return bigEndian_ ? static_cast<std::uint16_t>(tiff_[at] << 8 | tiff_[at + 1])
                          : static_cast<std::uint16_t>(tiff_[at + 1] << 8 | tiff_[at]);
    }
    [[nodiscard]] std::uint32_t U32(std::size_t at) const {
        const std::uint32_t high = U16(bigEndian_ ? at : at + 2);
        const std::uint32_t low = U16(bigEndian_ ? at + 2 : at);
        return high << 16 | low;
    }

  private:
    std::span<const std::uint8_t> tiff_;
    bool bigEndian_;
};

// The orientation entry of IFD0 in a TIFF structure (the Exif payload after its signature).
std::optional<OrientationField> FindInTiff(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) {
        return std::nullopt;
    }
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else if (tiff[0] != 'I' || tiff[1] != 'I') {
        return std::nullopt;
    }
    const TiffReader reader(tiff, bigEndian);
    if (reader.U16(2) != 42) {
        return std::nullopt;
    }
    const std::size_t ifd = reader.U32(4);
    if (!reader.Has(ifd, 2)) {
        return std::nullopt;
    }
    const std::size_t entries = reader.U16(ifd);
    // The count is capped by the bytes there are: a hostile count reads nothing beyond them.
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + i * kIfdEntrySize;
        if (!reader.Has(entry, kIfdEntrySize)) {
            return std::nullopt;
        }
        if (reader.U16(entry) != kOrientationTag) {
            continue;
        }
        if (reader.U16(entry + 2) != kTypeShort || reader.U32(entry + 4) != 1) {
            return std::nullopt;
        }
        return OrientationField{
            .offset = entry + 8, .bigEndian = bigEndian, .value = reader.U16(entry + 8)};
    }
    return std::nullopt;
}

// Walks the segments before the first scan; the first APP1 with the Exif signature counts
// (others, such as XMP, share the marker).
std::optional<OrientationField> FindOrientation(std::span<const std::uint8_t> jpeg) {
    if (jpeg.size() < 4 || jpeg[0] != kMarker || jpeg[1] != kStartOfImage) {
        return std::nullopt;
    }
    std::size_t at = 2;
    while (jpeg.size() - at >= 4) {
        if (jpeg[at] != kMarker) {
            return std::nullopt;
        }
        const std::uint8_t marker = jpeg[at + 1];
        if (marker == kMarker) {
            ++at;  // fill byte
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage) {
            return std::nullopt;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;  // markers without a length
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
        if (length < 2 || length > jpeg.size() - at - 2) {
            return std::nullopt;
        }
        const std::size_t payload = at + 4;
        const std::size_t payloadLength = length - 2;
        if (marker == kApp1 && payloadLength >= kExifSignature.size() &&
            std::memcmp(jpeg.data() + payload, kExifSignature.data(), kExifSignature.size()) == 0) {
            const std::size_t tiff = payload + kExifSignature.size();
            auto field = FindInTiff(jpeg.subspan(tiff, payloadLength - kExifSignature.size()));
            if (field) {
                field->offset += tiff;
            }
            return field;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// The source pixel (x, y) of the upright picture's pixel (ux, uy), in a stored picture of
// `width` x `height`; rows counted from the top.
std::pair<int, int> StoredPixel(Orientation orientation, int ux, int uy, int width, int height) {
    switch (orientation) {
        case Orientation::Upright:
            return {ux, uy};
        case Orientation::MirrorHorizontal:
            return {width - 1 - ux, uy};
        case Orientation::Rotate180:
            return {width - 1 - ux, height - 1 - uy};
        case Orientation::MirrorVertical:
            return {ux, height - 1 - uy};
        case Orientation::Transpose:
            return {uy, ux};
        case Orientation::Rotate90:
            return {uy, height - 1 - ux};
        case Orientation::Transverse:
            return {width - 1 - uy, height - 1 - ux};
        case Orientation::Rotate270:
            return {width - 1 - uy, ux};
    }
    return {ux, uy};
}

}  // namespace

std::optional<Orientation> ReadExifOrientation(std::span<const std::uint8_t> jpeg) {
    const auto field = FindOrientation(jpeg);
    if (!field || field->value < 1 || field->value > 8) {
        return std::nullopt;
    }
    return static_cast<Orientation>(field->value);
}

bool ClearExifOrientation(std::span<std::uint8_t> jpeg) {
    const auto field = FindOrientation(jpeg);
    if (!field) {
        return false;
    }
    jpeg[field->offset] = field->bigEndian ? 0 : 1;
    jpeg[field->offset + 1] = field->bigEndian ? 1 : 0;
    return true;
}

void ApplyOrientation(Frame& frame, Orientation orientation) {
    if (orientation == Orientation::Upright || frame.width <= 0 || frame.height <= 0) {
        return;
    }
    const bool swap = SwapsSides(orientation);
    Frame upright;
    upright.width = swap ? frame.height : frame.width;
    upright.height = swap ? frame.width : frame.height;
    upright.stride = DibStride(upright.width);
    upright.pixels.resize(upright.stride * static_cast<std::size_t>(upright.height));
    for (int uy = 0; uy < upright.height; ++uy) {
        auto* row = upright.pixels.data() +
                    static_cast<std::size_t>(upright.height - 1 - uy) * upright.stride;
        for (int ux = 0; ux < upright.width; ++ux) {
            const auto [x, y] = StoredPixel(orientation, ux, uy, frame.width, frame.height);
            std::memcpy(row + static_cast<std::size_t>(ux) * 3, frame.Pixel(x, y), 3);
        }
    }
    frame = std::move(upright);
}

}  // namespace qv::imaging
