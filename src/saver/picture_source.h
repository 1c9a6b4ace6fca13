// The pictures of the open Tessel, decoded and made ready for the monitors on a worker,
// never on the show window's thread: a large or damaged picture must not keep the window
// from answering a key. One request runs at a time; the source is shared with that worker
// and lives as long as it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "config/show_modes.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/picture_fit.h"
#include "pe/pe_library.h"

namespace qv::saver {

// After the last picture the show goes on with the second: the first is the opening one.
std::size_t NextPictureIndex(std::size_t index, std::size_t count);

// What the show asks for at each change: a frame for each monitor that shows a picture.
struct FrameRequest {
    std::size_t start = 0;    // the next picture in show order
    bool nextOnEach = false;  // the next pictures, one per monitor; else the same on each
    config::PictureSize size = config::PictureSize::OwnSize;
    std::vector<imaging::PictureSize> monitors;  // the monitors' sizes, in pixels
    // Each frame a black canvas the size of its monitor with the picture centred on it, so
    // that two frames of one monitor can be blended (the crossfade).
    bool canvas = false;
};

// One monitor's frame: the picture upright, at its own size or fitted to the monitor.
struct PreparedPicture {
    std::size_t index = 0;
    imaging::Frame frame;
    imaging::PictureSize drawn;    // the picture's size in the frame (the frame's, or less)
    imaging::PictureSize picture;  // its own upright size, the link areas' coordinates
};

struct DecodedPicture {
    // The last picture of the set, from which the show goes on; nullopt: no picture of the
    // Tessel decodes.
    std::optional<std::size_t> index;
    std::vector<PreparedPicture> frames;  // one per monitor of the request
};

class PictureSource {
  public:
    PictureSource(std::unique_ptr<pe::PeResourceLibrary> library,
                  std::vector<std::string> pictures);

    // From `start` on, in show order, the first picture that decodes (each tried once) for
    // the first monitor, and for each other one the same picture or the next that decodes.
    // A picture whose data failed before is passed over without decoding it again, so many
    // names for one failing picture cost one decode. `cancelled` is asked between pictures.
    DecodedPicture Prepare(const FrameRequest& request, const std::function<bool()>& cancelled);

  private:
    // The first picture from `start` that decodes, made ready for `monitor`.
    std::optional<PreparedPicture> FirstFrom(std::size_t start, const FrameRequest& request,
                                             imaging::PictureSize monitor,
                                             const std::function<bool()>& cancelled);
    std::optional<PreparedPicture> PrepareOne(std::size_t index, const FrameRequest& request,
                                              imaging::PictureSize monitor);

    std::unique_ptr<pe::PeResourceLibrary> library_;
    std::vector<std::string> pictures_;
    std::set<std::uint32_t> failedData_;  // data addresses of pictures that did not decode
};

using Synchronize = std::function<bool(const std::function<void()>&)>;

// The decode worker's body: prepares the request and hands the result to `deliver` on the
// window's thread through `post`, which owns the pictures until its step has run; nothing
// when the window went meanwhile (`windowOpen` is asked between pictures).
void RunDecode(PictureSource& source, const FrameRequest& request,
               const std::function<bool()>& windowOpen, const Synchronize& post,
               const std::function<void(DecodedPicture&)>& deliver);

}  // namespace qv::saver
