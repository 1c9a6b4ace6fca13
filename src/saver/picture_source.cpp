#include "saver/picture_source.h"

#include <algorithm>
#include <memory>

#include "imaging/exif_orientation.h"
#include "imaging/jpeg_header.h"
#include "imaging/prepare_frame.h"
#include "saver/show_layout.h"

namespace qv::saver {

namespace {

// A box no picture the decoder accepts reaches: with Enlarge::Never the picture keeps its
// own size, turned upright.
constexpr imaging::PictureSize kOwnSizeBox{1 << 30, 1 << 30};

imaging::PictureSize UprightSize(std::span<const std::uint8_t> jpeg,
                                 const imaging::JpegInfo& info) {
    const auto orientation = imaging::ReadExifOrientation(jpeg);
    if (orientation && imaging::SwapsSides(*orientation)) {
        return {info.height, info.width};
    }
    return {info.width, info.height};
}

}  // namespace

std::size_t NextPictureIndex(std::size_t index, std::size_t count) {
    if (count <= 1) {
        return 0;
    }
    return index + 1 >= count ? 1 : index + 1;
}

PictureSource::PictureSource(std::unique_ptr<pe::PeResourceLibrary> library,
                             std::vector<std::string> pictures)
    : library_(std::move(library)), pictures_(std::move(pictures)) {}

DecodedPicture PictureSource::Prepare(const FrameRequest& request,
                                      const std::function<bool()>& cancelled) {
    DecodedPicture decoded;
    std::size_t next = request.start;
    for (const imaging::PictureSize& monitor : request.monitors) {
        std::optional<PreparedPicture> prepared;
        if (decoded.index && !request.nextOnEach) {
            prepared = PrepareOne(*decoded.index, request, monitor);
        } else {
            prepared = FirstFrom(next, request, monitor, cancelled);
        }
        if (!prepared) {
            if (!decoded.index) {
                return {};  // not one picture decodes
            }
            prepared = PreparedPicture{*decoded.index, {}, {}, {}};  // that monitor stays black
        } else {
            decoded.index = prepared->index;
        }
        next = NextPictureIndex(*decoded.index, pictures_.size());
        decoded.frames.push_back(std::move(*prepared));
        if (cancelled()) {
            break;
        }
    }
    return decoded;
}

std::optional<PreparedPicture> PictureSource::FirstFrom(std::size_t start,
                                                        const FrameRequest& request,
                                                        imaging::PictureSize monitor,
                                                        const std::function<bool()>& cancelled) {
    std::size_t index = start;
    for (std::size_t tries = 0; tries < pictures_.size(); ++tries) {
        if (auto prepared = PrepareOne(index, request, monitor)) {
            return prepared;
        }
        index = NextPictureIndex(index, pictures_.size());
        if (cancelled()) {
            break;
        }
    }
    return std::nullopt;
}

std::optional<PreparedPicture> PictureSource::PrepareOne(std::size_t index,
                                                         const FrameRequest& request,
                                                         imaging::PictureSize monitor) {
    if (!library_ || index >= pictures_.size()) {
        return std::nullopt;
    }
    const auto& entries = library_->RcDataEntries();
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
        return e.named && e.name == pictures_[index];
    });
    if (entry == entries.end() || failedData_.count(entry->dataRva) != 0) {
        return std::nullopt;
    }
    const auto data = library_->RcData(pictures_[index]);
    const auto info = data ? imaging::ReadJpegHeader(*data) : std::nullopt;
    const bool fill = request.size == config::PictureSize::FillMonitor;
    imaging::PreparedFrame ready;
    if (info) {
        imaging::PrepareOptions options;
        options.enlarge = fill ? imaging::Enlarge::Allowed : imaging::Enlarge::Never;
        const imaging::PictureSize box = fill ? monitor : kOwnSizeBox;
        ready = imaging::PrepareFrame(*data, box.width, box.height, options);
    }
    if (ready.status != imaging::DecodeStatus::Ok &&
        ready.status != imaging::DecodeStatus::Truncated) {
        failedData_.insert(entry->dataRva);
        return std::nullopt;
    }
    PreparedPicture prepared{index, std::move(ready.frame), {}, UprightSize(*data, *info)};
    prepared.drawn = {prepared.frame.width, prepared.frame.height};
    if (request.canvas) {
        const ScreenRect place = CentredOn({0, 0, monitor.width, monitor.height}, prepared.drawn);
        prepared.frame =
            OnBlack(prepared.frame, place.left, place.top, monitor.width, monitor.height);
    }
    return prepared;
}

void RunDecode(PictureSource& source, const FrameRequest& request,
               const std::function<bool()>& windowOpen, const Synchronize& post,
               const std::function<void(DecodedPicture&)>& deliver) {
    auto decoded = std::make_shared<DecodedPicture>(
        source.Prepare(request, [&windowOpen] { return !windowOpen(); }));
    if (windowOpen()) {
        (void)post([decoded, deliver] { deliver(*decoded); });
    }
}

}  // namespace qv::saver
