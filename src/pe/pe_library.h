// A resource library read as data by the project's own PE reader, over any byte source:
// Tessels, the string 1 of screen savers, branding libraries. Nothing in it is ever run.
#pragma once

#include <memory>
#include <string>

#include "pe/byte_source.h"
#include "pe/pe_image.h"
#include "pe/resources.h"

namespace qv::pe {

class PeResourceLibrary {
  public:
    // nullptr, with the reason, when the bytes are not a PE image with resources.
    static std::unique_ptr<PeResourceLibrary> Open(std::unique_ptr<ByteSource> source,
                                                   PeError& error);
    static std::unique_ptr<PeResourceLibrary> OpenFile(const std::string& path, PeError& error);

    // Names of the named RT_RCDATA entries, in directory order (numeric ids are left out).
    [[nodiscard]] std::vector<std::string> RcDataNames() const;
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> RcData(std::string_view name);
    // String resource `id` in full; nullopt when it is missing or empty.
    [[nodiscard]] std::optional<std::string> String(unsigned id);

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
