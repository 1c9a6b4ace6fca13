#include "saver/picture_source.h"

#include <memory>

#include <algorithm>

namespace qv::saver {

std::size_t NextPictureIndex(std::size_t index, std::size_t count) {
    if (count <= 1) {
        return 0;
    }
    return index + 1 >= count ? 1 : index + 1;
}

PictureSource::PictureSource(std::unique_ptr<pe::PeResourceLibrary> library,
                             std::vector<std::string> pictures)
    : library_(std::move(library)), pictures_(std::move(pictures)) {}

DecodedPicture PictureSource::DecodeFrom(std::size_t start,
                                         const std::function<bool()>& cancelled) {
    std::size_t index = start;
    for (std::size_t tries = 0; tries < pictures_.size(); ++tries) {
        if (Decode(index)) {
            return {index, std::move(scratch_)};
        }
        index = NextPictureIndex(index, pictures_.size());
        if (cancelled()) {
            break;
        }
    }
    return {};
}

bool PictureSource::Decode(std::size_t index) {
    if (!library_ || index >= pictures_.size()) {
        return false;
    }
    const auto& entries = library_->RcDataEntries();
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
        return e.named && e.name == pictures_[index];
    });
    if (entry == entries.end() || failedData_.count(entry->dataRva) != 0) {
        return false;
    }
    const auto data = library_->RcData(pictures_[index]);
    const imaging::DecodeStatus status =
        data ? imaging::DecodeJpeg(*data, scratch_) : imaging::DecodeStatus::Failed;
    if (status == imaging::DecodeStatus::Ok || status == imaging::DecodeStatus::Truncated) {
        return true;
    }
    failedData_.insert(entry->dataRva);
    return false;
}

void RunDecode(PictureSource& source, std::size_t start, const std::function<bool()>& windowOpen,
               const Synchronize& post, const std::function<void(DecodedPicture&)>& deliver) {
    auto decoded = std::make_shared<DecodedPicture>(
        source.DecodeFrom(start, [&windowOpen] { return !windowOpen(); }));
    if (windowOpen()) {
        (void)post([decoded, deliver] { deliver(*decoded); });
    }
}

}  // namespace qv::saver
