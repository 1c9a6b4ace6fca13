// JPEG pictures made in the test, with libjpeg itself, so every case has a known source.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::testing {

enum class JpegKind { Rgb, Gray, Cmyk };

struct JpegOptions {
    int width = 32;
    int height = 24;
    JpegKind kind = JpegKind::Rgb;
    bool progressive = false;
    int quality = 85;
    // Gradients and gentle waves, which compress like a photograph, instead of the
    // default busy pattern.
    bool smooth = false;
    // One colour (red, green, blue) all over, for pictures recognised on the screen.
    std::optional<std::array<std::uint8_t, 3>> solid = std::nullopt;
    // Four colours (red, green, blue): top left, top right, bottom left, bottom right, for
    // pictures whose turning can be seen.
    std::optional<std::array<std::array<std::uint8_t, 3>, 4>> quadrants = std::nullopt;
};

// A picture with a pattern that varies in both directions and every channel.
std::vector<std::uint8_t> MakeJpeg(const JpegOptions& options);
// A picture of one colour all over, encoded finely enough to be recognised on the screen.
std::vector<std::uint8_t> SolidJpeg(int width, int height, std::array<std::uint8_t, 3> colour);

// A hand-built JPEG header: start, frame (marker `frameMarker`, `precision` bits per sample,
// `components` components of 8 x 8 pixels) and scan, with no tables or data. It is enough
// for a header to be judged; libjpeg's own encoder makes no 12-bit pictures here.
std::vector<std::uint8_t> MakeJpegHeader(int precision, int components,
                                         std::uint8_t frameMarker = 0xC1);

// An APP1 Exif segment (marker included) whose IFD0 holds a camera make and the orientation
// tag with `orientation`, in big-endian (Motorola) or little-endian (Intel) byte order.
std::vector<std::uint8_t> ExifSegment(std::uint16_t orientation, bool bigEndian);
// The JPEG with `segment` inserted right after its start marker.
std::vector<std::uint8_t> WithSegment(std::vector<std::uint8_t> jpeg,
                                      const std::vector<std::uint8_t>& segment);

// Writes bytes to a new file under the test's temporary folder and returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

}  // namespace qv::testing
