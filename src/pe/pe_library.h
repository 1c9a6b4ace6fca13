// A resource library read by the project's own PE reader, over any byte source.
#pragma once

#include <memory>
#include <string>

#include "pe/byte_source.h"
#include "pe/pe_image.h"
#include "pe/resources.h"
#include "platform/ports.h"

namespace qv::pe {

class PeResourceLibrary : public platform::ResourceLibrary {
  public:
    // nullptr, with the reason, when the bytes are not a PE image with resources.
    static std::unique_ptr<PeResourceLibrary> Open(std::unique_ptr<ByteSource> source,
                                                   PeError& error);
    static std::unique_ptr<PeResourceLibrary> OpenFile(const std::string& path, PeError& error);

    std::vector<std::string> RcDataNames() override;
    std::optional<std::vector<std::uint8_t>> RcData(std::string_view name) override;
    std::optional<std::string> String(unsigned id) override;

    // The RT_RCDATA entries with their sizes, as read when the library was opened.
    [[nodiscard]] const std::vector<ResourceEntry>& RcDataEntries() const { return rcdata_; }
    // The data of one of those entries; nullopt when the file does not hold it all.
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> Data(const ResourceEntry& entry) {
        return reader_.Data(entry);
    }
    [[nodiscard]] bool HoldsData(const ResourceEntry& entry) const {
        return reader_.HoldsData(entry);
    }

  private:
    PeResourceLibrary(std::unique_ptr<ByteSource> source, PeImage image);
    std::unique_ptr<ByteSource> source_;
    ResourceReader reader_;
    std::vector<ResourceEntry> rcdata_;
};

}  // namespace qv::pe
