// The headers of a PE/COFF image as far as resources need them: sections, and the RVA of
// the resource directory. Parsed from untrusted bytes with every field checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pe/byte_source.h"

namespace qv::pe {

enum class PeError {
    NotMz,              // no "MZ" at the start, or shorter than its DOS header
    BadNewHeader,       // e_lfanew outside the file or before the end of the DOS header
    NotPe,              // no "PE\0\0" signature
    BadOptionalHeader,  // neither PE32 nor PE32+, or cut short
    BadSections,        // the section table is cut short or too long
    NoResources,        // no resource directory
    BadResources,       // the resource directory points outside the file, loops or is cut
};

std::string Describe(PeError error);

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t rawSize = 0;

    // The bytes of the section that the file holds. The rest of its virtual size is zeros
    // the loader makes up, which a reader has no business with.
    [[nodiscard]] std::uint32_t FileSpan() const {
        return rawSize < virtualSize || virtualSize == 0 ? rawSize : virtualSize;
    }
};

class PeImage {
  public:
    static constexpr std::size_t kMaxSections = 96;  // the loader's own limit

    // Reads the DOS, COFF and optional headers and the section table.
    static std::optional<PeImage> Parse(ByteSource& source, PeError& error);

    [[nodiscard]] std::uint32_t resourceRva() const { return resourceRva_; }
    [[nodiscard]] std::uint32_t resourceSize() const { return resourceSize_; }
    [[nodiscard]] bool isPe32Plus() const { return pe32Plus_; }
    [[nodiscard]] const std::vector<Section>& sections() const { return sections_; }

    // File offset of `count` bytes at `rva`, when they lie inside one section's raw data.
    [[nodiscard]] std::optional<std::uint64_t> FileOffset(std::uint32_t rva,
                                                          std::uint32_t count) const;

  private:
    std::vector<Section> sections_;
    std::uint32_t resourceRva_ = 0;
    std::uint32_t resourceSize_ = 0;
    bool pe32Plus_ = false;
};

}  // namespace qv::pe
