#include "pe/pe_library.h"

#include "common/utf.h"

namespace qv::pe {

PeResourceLibrary::PeResourceLibrary(std::unique_ptr<ByteSource> source, PeImage image)
    : source_(std::move(source)), reader_(*source_, std::move(image)) {}

std::unique_ptr<PeResourceLibrary> PeResourceLibrary::Open(std::unique_ptr<ByteSource> source,
                                                           PeError& error) {
    auto image = PeImage::Parse(*source, error);
    if (!image) {
        return nullptr;
    }
    auto library =
        std::unique_ptr<PeResourceLibrary>(new PeResourceLibrary(std::move(source), *image));
    // A library whose directory cannot even be walked is not one.
    auto entries = library->reader_.Entries(kRtRcdata, error);
    if (!entries) {
        return nullptr;
    }
    library->rcdata_ = std::move(*entries);
    return library;
}

std::vector<std::string> PeResourceLibrary::RcDataNames() const {
    std::vector<std::string> names;
    names.reserve(rcdata_.size());
    for (const auto& e : rcdata_) {
        if (e.named) {
            names.push_back(e.name);
        }
    }
    return names;
}

std::optional<std::vector<std::uint8_t>> PeResourceLibrary::RcData(std::string_view name) {
    for (const auto& e : rcdata_) {
        if (e.named && e.name == name) {
            return reader_.Data(e);
        }
    }
    return std::nullopt;
}

std::optional<std::string> PeResourceLibrary::String(unsigned id) {
    if (id > 0xFFFF) {
        return std::nullopt;
    }
    const auto text = reader_.String(static_cast<std::uint16_t>(id));
    if (!text) {
        return std::nullopt;
    }
    return Utf8FromUtf16(*text);
}

}  // namespace qv::pe
