#include "pe/resources.h"

#include <algorithm>

#include "pe/utf16.h"

namespace qv::pe {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kStringsPerBlock = 16;

}  // namespace

ResourceReader::ResourceReader(ByteSource& source, PeImage image)
    : source_(source), image_(std::move(image)) {
    for (const Section& s : image_.sections()) {
        const std::uint32_t span = s.FileSpan();
        const std::uint32_t rva = image_.resourceRva();
        if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
            rootFileOffset_ = std::uint64_t{s.rawOffset} + (rva - s.virtualAddress);
            rootSpan_ = std::min(span - (rva - s.virtualAddress), image_.resourceSize());
            break;
        }
    }
}

const std::uint8_t* ResourceReader::Bytes(std::uint32_t offset, std::uint32_t count) {
    if (Fits(offset, count, rootSpan_)) {
        return source_.View(rootFileOffset_ + offset, count);
    }
    if (!Fits(offset, count, image_.resourceSize())) {
        return nullptr;
    }
    const auto fileOffset = image_.FileOffset(image_.resourceRva() + offset, count);
    return fileOffset ? source_.View(*fileOffset, count) : nullptr;
}

std::optional<std::vector<ResourceReader::DirEntry>> ResourceReader::Directory(
    std::uint32_t offset) {
    const std::uint8_t* header = Bytes(offset, kDirectoryHeaderSize);
    if (header == nullptr) {
        return std::nullopt;
    }
    const std::size_t count = std::size_t{Le16(header, 12)} + Le16(header, 14);
    if (count > kMaxEntriesPerDirectory) {
        return std::nullopt;
    }
    const auto tableSize = static_cast<std::uint32_t>(count * kDirEntrySize);
    const std::uint8_t* table =
        Bytes(offset + static_cast<std::uint32_t>(kDirectoryHeaderSize), tableSize);
    if (table == nullptr) {
        return std::nullopt;
    }
    std::vector<DirEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        entries[i] = {Le32(table, i * kDirEntrySize), Le32(table, i * kDirEntrySize + 4)};
    }
    return entries;
}

bool ResourceReader::NameAt(std::uint32_t offset, std::string& name) {
    const std::uint8_t* length = Bytes(offset, 2);
    if (length == nullptr) {
        return false;
    }
    const std::uint32_t bytes = std::uint32_t{Le16(length, 0)} * 2;
    const std::uint8_t* text = Bytes(offset + 2, bytes);
    if (text == nullptr) {
        return false;
    }
    AssignUtf8FromUtf16Le(std::span<const std::uint8_t>(text, bytes), name);
    return true;
}

bool ResourceReader::FirstLanguage(std::uint32_t offset, std::uint32_t typeDir,
                                   ResourceEntry& entry) {
    // Pointing back at the root or the type's own directory would be a loop.
    if (offset == 0 || offset == typeDir) {
        return false;
    }
    const std::uint8_t* header = Bytes(offset, kDirectoryHeaderSize + kDirEntrySize);
    if (header == nullptr || std::size_t{Le16(header, 12)} + Le16(header, 14) == 0) {
        return false;
    }
    const std::uint32_t target = Le32(header, kDirectoryHeaderSize + 4);
    if ((target & kHighBit) != 0) {
        return false;  // a language level holds data entries, not directories
    }
    const std::uint8_t* data = Bytes(target, kDataEntrySize);
    if (data == nullptr) {
        return false;
    }
    entry.dataRva = Le32(data, 0);
    entry.size = Le32(data, 4);
    return true;
}

std::optional<std::uint32_t> ResourceReader::SubdirectoryFor(const std::vector<DirEntry>& entries,
                                                             std::uint16_t id) {
    for (const DirEntry& e : entries) {
        if ((e.nameField & kHighBit) == 0 && e.nameField == id) {
            if ((e.offsetField & kHighBit) == 0) {
                return std::nullopt;
            }
            return e.offsetField & ~kHighBit;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<ResourceEntry>> ResourceReader::Entries(std::uint16_t type,
                                                                  PeError& error) {
    error = PeError::BadResources;
    const auto root = Directory(0);
    if (!root) {
        return std::nullopt;
    }
    std::vector<ResourceEntry> result;
    const auto typeDir = SubdirectoryFor(*root, type);
    if (!typeDir) {
        return result;
    }
    if (*typeDir == 0) {
        return std::nullopt;  // the type leads back to the root: a loop
    }
    const auto names = Directory(*typeDir);
    if (!names) {
        return std::nullopt;
    }
    // Filled in place: a listing of thousands of entries moves no strings around.
    result.resize(names->size());
    for (std::size_t i = 0; i < names->size(); ++i) {
        const DirEntry& e = (*names)[i];
        ResourceEntry& entry = result[i];
        if ((e.offsetField & kHighBit) == 0) {
            return std::nullopt;  // a name level must lead to a language level
        }
        if (!FirstLanguage(e.offsetField & ~kHighBit, *typeDir, entry)) {
            return std::nullopt;
        }
        if ((e.nameField & kHighBit) != 0) {
            if (!NameAt(e.nameField & ~kHighBit, entry.name)) {
                return std::nullopt;
            }
            entry.named = true;
        } else {
            entry.id = static_cast<std::uint16_t>(e.nameField);
        }
    }
    return result;
}

std::optional<std::vector<std::uint8_t>> ResourceReader::Data(const ResourceEntry& entry) {
    const auto fileOffset = image_.FileOffset(entry.dataRva, entry.size);
    if (!fileOffset) {
        return std::nullopt;
    }
    return source_.Read(*fileOffset, entry.size);
}

bool ResourceReader::HoldsData(const ResourceEntry& entry) const {
    const auto fileOffset = image_.FileOffset(entry.dataRva, entry.size);
    return fileOffset && Fits(*fileOffset, entry.size, source_.Size());
}

std::optional<std::u16string> ResourceReader::String(std::uint16_t id) {
    if (!stringBlocks_) {
        PeError error = PeError::BadResources;
        stringBlocks_ = Entries(kRtString, error).value_or(std::vector<ResourceEntry>{});
    }
    const auto& blocks = stringBlocks_;
    const std::uint16_t blockId = static_cast<std::uint16_t>((id >> 4) + 1);
    const auto block = std::find_if(blocks->begin(), blocks->end(), [&](const ResourceEntry& e) {
        return !e.named && e.id == blockId;
    });
    if (block == blocks->end()) {
        return std::nullopt;
    }
    const auto data = Data(*block);
    if (!data) {
        return std::nullopt;
    }
    // Sixteen counted strings; a block shorter than its lengths claim ends the search.
    std::size_t at = 0;
    for (std::size_t index = 0; index < kStringsPerBlock; ++index) {
        if (!Fits(at, 2, data->size())) {
            return std::nullopt;
        }
        const std::size_t chars = Le16(*data, at);
        at += 2;
        if (!Fits(at, chars * 2, data->size())) {
            return std::nullopt;
        }
        if (index == (id & 15u)) {
            if (chars == 0) {
                return std::nullopt;
            }
            std::u16string text(chars, u'\0');
            for (std::size_t c = 0; c < chars; ++c) {
                text[c] = static_cast<char16_t>(Le16(*data, at + c * 2));
            }
            return text;
        }
        at += chars * 2;
    }
    return std::nullopt;
}

}  // namespace qv::pe
