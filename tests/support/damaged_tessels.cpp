#include "damaged_tessels.h"

#include <algorithm>
#include <stdexcept>

#include "pe/byte_source.h"
#include "pe/pe_image.h"
#include "pe/pe_writer.h"
#include "pe/resources.h"

namespace qv::testing {

namespace {

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        bytes[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
    }
}

// The offset of the data entry record (RVA, size) of `entry` in the file.
std::size_t DataEntryAt(const std::vector<std::uint8_t>& bytes, const pe::ResourceEntry& entry) {
    for (std::size_t at = 0; at + 8 <= bytes.size(); at += 4) {
        if (pe::Le32(bytes.data(), at) == entry.dataRva &&
            pe::Le32(bytes.data(), at + 4) == entry.size) {
            return at;
        }
    }
    throw std::logic_error("no data entry record for a resource");
}

}  // namespace

std::vector<std::uint8_t> DamagedTessel(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& pictures,
    const std::vector<std::string>& links, Damage damage) {
    pe::ResourceLibraryLayout layout;
    for (const auto& [name, data] : pictures) {
        layout.rcdata.push_back({name, data});
    }
    for (std::size_t k = 0; k < links.size(); ++k) {
        layout.strings[static_cast<std::uint16_t>(k + 1)] = links[k];
    }
    std::vector<std::uint8_t> bytes = pe::WriteResourceLibrary(layout);
    if (damage == Damage::None) {
        return bytes;
    }
    pe::MemorySource source(bytes);
    pe::PeError error = pe::PeError::NotMz;
    const auto image = pe::PeImage::Parse(source, error);
    pe::ResourceReader reader(source, *image);
    const auto rcdata = reader.Entries(pe::kRtRcdata, error).value();
    switch (damage) {
        case Damage::DataLongerThanTheFile:
            Put32(bytes, DataEntryAt(bytes, rcdata.front()) + 4, 16u << 20);
            break;
        case Damage::DataPastTheEnd:
            Put32(bytes, DataEntryAt(bytes, rcdata.front()), 0x7FFF0000u);
            break;
        case Damage::StringOverrunsItsBlock: {
            const auto blocks = reader.Entries(pe::kRtString, error).value();
            const auto offset = image->FileOffset(blocks.front().dataRva, 2).value();
            bytes[offset] = 0xFF;
            bytes[offset + 1] = 0xFF;
            break;
        }
        case Damage::AllPicturesShareTheFirst: {
            std::vector<std::size_t> records;
            for (const auto& entry : rcdata) {
                records.push_back(DataEntryAt(bytes, entry));
            }
            for (std::size_t k = 1; k < records.size(); ++k) {
                Put32(bytes, records[k], rcdata.front().dataRva);
                Put32(bytes, records[k] + 4, rcdata.front().size);
            }
            break;
        }
        case Damage::None:
            break;
    }
    return bytes;
}

}  // namespace qv::testing
