#include "pe/pe_image.h"

namespace qv::pe {

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

}  // namespace

std::string Describe(PeError error) {
    switch (error) {
        case PeError::NotMz:
            return "not a Windows program or library (no MZ header)";
        case PeError::BadNewHeader:
            return "the PE header offset lies outside the file";
        case PeError::NotPe:
            return "not a 32- or 64-bit Windows library (no PE signature)";
        case PeError::BadOptionalHeader:
            return "the optional header is damaged";
        case PeError::BadSections:
            return "the section table is damaged";
        case PeError::NoResources:
            return "the library holds no resources";
        case PeError::BadResources:
            return "the resource directory is damaged";
    }
    return "unknown error";
}

std::optional<PeImage> PeImage::Parse(ByteSource& source, PeError& error) {
    const auto dos = source.Read(0, kDosHeaderSize);
    if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z') {
        error = PeError::NotMz;
        return std::nullopt;
    }
    const std::uint32_t peOffset = Le32(*dos, kNewHeaderOffsetField);
    if (peOffset < kDosHeaderSize) {
        error = PeError::BadNewHeader;
        return std::nullopt;
    }
    const auto coff = source.Read(peOffset, 4 + kCoffHeaderSize);
    if (!coff) {
        error = PeError::BadNewHeader;
        return std::nullopt;
    }
    if ((*coff)[0] != 'P' || (*coff)[1] != 'E' || (*coff)[2] != 0 || (*coff)[3] != 0) {
        error = PeError::NotPe;
        return std::nullopt;
    }
    const std::uint16_t sectionCount = Le16(*coff, 4 + 2);
    const std::uint16_t optionalSize = Le16(*coff, 4 + 16);
    const std::uint64_t optionalOffset = std::uint64_t{peOffset} + 4 + kCoffHeaderSize;

    const auto optional = source.Read(optionalOffset, optionalSize);
    if (!optional || optionalSize < 2) {
        error = PeError::BadOptionalHeader;
        return std::nullopt;
    }
    PeImage image;
    const std::uint16_t magic = Le16(*optional, 0);
    if (magic != kPe32Magic && magic != kPe32PlusMagic) {
        error = PeError::BadOptionalHeader;
        return std::nullopt;
    }
    image.pe32Plus_ = magic == kPe32PlusMagic;
    // Offsets of NumberOfRvaAndSizes and the data directories differ by 16 in PE32+.
    const std::size_t countField = image.pe32Plus_ ? 108 : 92;
    const std::size_t directories = countField + 4;
    if (optionalSize < directories) {
        error = PeError::BadOptionalHeader;
        return std::nullopt;
    }
    const std::uint32_t directoryCount = Le32(*optional, countField);
    const std::size_t resourceField = directories + kResourceDirectoryIndex * 8;
    if (directoryCount > kResourceDirectoryIndex && optionalSize >= resourceField + 8) {
        image.resourceRva_ = Le32(*optional, resourceField);
        image.resourceSize_ = Le32(*optional, resourceField + 4);
    }

    if (sectionCount > kMaxSections) {
        error = PeError::BadSections;
        return std::nullopt;
    }
    const auto table =
        source.Read(optionalOffset + optionalSize, std::size_t{sectionCount} * kSectionHeaderSize);
    if (!table) {
        error = PeError::BadSections;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = i * kSectionHeaderSize;
        image.sections_.push_back({Le32(*table, at + 12), Le32(*table, at + 8),
                                   Le32(*table, at + 20), Le32(*table, at + 16)});
    }
    if (image.resourceRva_ == 0 || image.resourceSize_ == 0) {
        error = PeError::NoResources;
        return std::nullopt;
    }
    return image;
}

std::optional<std::uint64_t> PeImage::FileOffset(std::uint32_t rva, std::uint32_t count) const {
    for (const Section& s : sections_) {
        if (rva >= s.virtualAddress && Fits(rva - s.virtualAddress, count, s.FileSpan())) {
            return std::uint64_t{s.rawOffset} + (rva - s.virtualAddress);
        }
    }
    return std::nullopt;
}

}  // namespace qv::pe
