// Reading one picture file into an upright frame ready to be encoded into a Tessel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/jpeg_decoder.h"

namespace qv::making {

// The box a made Tessel's pictures are fitted inside; nullopt elsewhere means own size.
struct FitBox {
    int width = 0;
    int height = 0;
};

struct PictureRead {
    bool ok = false;
    std::string reason;    // for a person, when not ok: "not a picture this program reads"
    imaging::Frame frame;  // upright, fitted inside the box (never enlarged), when ok
    // The file's own bytes when it is a JPEG that needed neither turning nor fitting: it may
    // go into the Tessel as it is. Empty otherwise.
    std::vector<std::uint8_t> jpeg;
};

class PictureReader {
  public:
    virtual ~PictureReader() = default;

    // Whether a file of this name is one this reader knows, by its extension (any case).
    [[nodiscard]] virtual bool Knows(std::string_view path) const = 0;

    // Reads the picture at `path` (UTF-8), turned upright by its orientation tag and fitted
    // inside `fit` with its aspect kept, never enlarged; reduced while decoding where the
    // format allows. Called on the making thread; a reader may keep per-thread state.
    [[nodiscard]] virtual PictureRead Read(const std::string& path, std::optional<FitBox> fit) = 0;
};

}  // namespace qv::making
