// Making a Tessel from picture files: the one engine below the `tessel` tool and the
// settings dialog's "New Tessel…".
//
// Readers: making/standard_picture_reader.h (StandardPictureReader: JPEG and PNG, every
// platform) and, on Windows, making/win32/system_picture_reader.h
// (win32::SystemPictureReader: the system's imaging component for BMP, GIF, TIFF and what
// else it decodes, then the standard reader).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "making/picture_reader.h"

namespace qv::making {

// Each picture is named in the Tessel after its file (holiday.jpg becomes HOLIDAY_JPEG; a
// second of one name HOLIDAY~2_JPEG), and the show goes in the order of those names:
// PicturesInFolder lists a folder in that order.
struct MakeRequest {
    std::vector<std::string> pictures = {};  // UTF-8 paths, read and packed in this order
    std::string target = {};                 // the .tsl to write (UTF-8 path)
    std::optional<FitBox> fit = {};         // nullopt: own size; else fitted inside, never enlarged
    int quality = 90;                       // JPEG quality (1 to 100) of each picture written
    std::array<std::string, 8> links = {};  // "" = no link; others must be web addresses
    // A JPEG that needs neither turning nor fitting goes in byte for byte, not encoded again
    // (the tool's pack without --quality); the dialog encodes every picture.
    bool keepReadyJpegs = false;
};

struct SkippedPicture {
    std::string picture;
    std::string reason;
};

enum class MakeStatus { Made, NoReadablePicture, Cancelled, BadLink, WriteFailed };

struct MakeResult {
    MakeStatus status = MakeStatus::WriteFailed;
    std::size_t packed = 0;
    std::vector<SkippedPicture> skipped;
    std::string reason;  // for BadLink and WriteFailed: what and why
};

// After each picture: (done, total). Returning false cancels the make (no file is left, an
// existing Tessel at target stays as it was). Called on the making thread.
using MakeProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Reads, fits and encodes the pictures one at a time into a temporary file beside the
// target, and moves it over the target only when complete.
MakeResult MakeTessel(const MakeRequest& request, PictureReader& reader,
                      const MakeProgress& progress);

// The name a picture file gets in a Tessel, before another of the same name makes it unique.
[[nodiscard]] std::string PictureName(std::string_view path);

// The picture files of a folder (the extensions the reader knows), sorted by name.
std::vector<std::string> PicturesInFolder(std::string_view folder, const PictureReader& reader);

}  // namespace qv::making
