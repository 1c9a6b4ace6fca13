// The pictures of the open Tessel, decoded one at a time on a worker, never on the show
// window's thread: a large or damaged picture must not keep the window from answering a key.
// One decode runs at a time; the source is shared with that worker and lives as long as it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "pe/pe_library.h"

namespace qv::saver {

// After the last picture the show goes on with the second: the first is the opening one.
std::size_t NextPictureIndex(std::size_t index, std::size_t count);

struct DecodedPicture {
    std::optional<std::size_t> index;  // nullopt: no picture of the Tessel decodes
    imaging::Frame frame;
};

class PictureSource {
  public:
    PictureSource(std::unique_ptr<pe::PeResourceLibrary> library,
                  std::vector<std::string> pictures);

    // From `start` on, in show order, the first picture that decodes (each tried once). A
    // picture whose data failed before is passed over without decoding it again, so many
    // names for one failing picture cost one decode. `cancelled` is asked between pictures.
    DecodedPicture DecodeFrom(std::size_t start, const std::function<bool()>& cancelled);
    // The frame the show no longer shows: the next decode reuses its buffer.
    void Recycle(imaging::Frame frame) { scratch_ = std::move(frame); }

  private:
    bool Decode(std::size_t index);

    std::unique_ptr<pe::PeResourceLibrary> library_;
    std::vector<std::string> pictures_;
    std::set<std::uint32_t> failedData_;  // data addresses of pictures that did not decode
    imaging::Frame scratch_;
};

using Synchronize = std::function<bool(const std::function<void()>&)>;

// The decode worker's body: decodes from `start` and hands the result to `deliver` on the
// window's thread through `post`, which owns the picture until its step has run; nothing
// when the window went meanwhile (`windowOpen` is asked between pictures).
void RunDecode(PictureSource& source, std::size_t start, const std::function<bool()>& windowOpen,
               const Synchronize& post, const std::function<void(DecodedPicture&)>& deliver);

}  // namespace qv::saver
