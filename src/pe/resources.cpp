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

bool ResourceReader::ReadResourceInto(std::uint32_t offset, std::uint8_t* into,
                                      std::uint32_t count) {
    if (!Fits(offset, count, image_.resourceSize())) {
        return false;
    }
    const auto fileOffset = image_.FileOffset(image_.resourceRva() + offset, count);
    return fileOffset && source_.ReadInto(*fileOffset, into, count);
}

std::optional<std::vector<std::uint8_t>> ResourceReader::ReadResource(std::uint32_t offset,
                                                                      std::uint32_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (!ReadResourceInto(offset, bytes.data(), count)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<ResourceReader::DirEntry>> ResourceReader::Directory(
    std::uint32_t offset) {
    std::uint8_t header[kDirectoryHeaderSize];
    if (!ReadResourceInto(offset, header, kDirectoryHeaderSize)) {
        return std::nullopt;
    }
    const std::size_t count = std::size_t{Le16(header, 12)} + Le16(header, 14);
    if (count > kMaxEntriesPerDirectory) {
        return std::nullopt;
    }
    const auto table = ReadResource(offset + static_cast<std::uint32_t>(kDirectoryHeaderSize),
                                    static_cast<std::uint32_t>(count * kDirEntrySize));
    if (!table) {
        return std::nullopt;
    }
    std::vector<DirEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        entries.push_back({Le32(*table, i * kDirEntrySize), Le32(*table, i * kDirEntrySize + 4)});
    }
    return entries;
}

std::optional<std::string> ResourceReader::NameAt(std::uint32_t offset) {
    std::uint8_t length[2];
    if (!ReadResourceInto(offset, length, 2)) {
        return std::nullopt;
    }
    const std::uint16_t chars = Le16(length, 0);
    // Names are short; the common case needs no buffer of its own.
    std::uint8_t small[256];
    std::vector<std::uint8_t> large;
    std::uint8_t* text = small;
    if (chars * 2u > sizeof(small)) {
        large.resize(chars * 2u);
        text = large.data();
    }
    if (!ReadResourceInto(offset + 2, text, std::uint32_t{chars} * 2)) {
        return std::nullopt;
    }
    return Utf8FromUtf16Le(std::span<const std::uint8_t>(text, chars * 2u));
}

std::optional<ResourceEntry> ResourceReader::FirstLanguage(std::uint32_t offset,
                                                           std::uint32_t typeDir) {
    // Pointing back at the root or the type's own directory would be a loop.
    if (offset == 0 || offset == typeDir) {
        return std::nullopt;
    }
    std::uint8_t header[kDirectoryHeaderSize + kDirEntrySize];
    if (!ReadResourceInto(offset, header, sizeof(header)) ||
        std::size_t{Le16(header, 12)} + Le16(header, 14) == 0) {
        return std::nullopt;
    }
    const std::uint32_t target = Le32(header, kDirectoryHeaderSize + 4);
    if ((target & kHighBit) != 0) {
        return std::nullopt;  // a language level holds data entries, not directories
    }
    std::uint8_t data[kDataEntrySize];
    if (!ReadResourceInto(target, data, kDataEntrySize)) {
        return std::nullopt;
    }
    ResourceEntry entry;
    entry.dataRva = Le32(data, 0);
    entry.size = Le32(data, 4);
    return entry;
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
    result.reserve(names->size());
    for (const DirEntry& e : *names) {
        if ((e.offsetField & kHighBit) == 0) {
            return std::nullopt;  // a name level must lead to a language level
        }
        auto entry = FirstLanguage(e.offsetField & ~kHighBit, *typeDir);
        if (!entry) {
            return std::nullopt;
        }
        if ((e.nameField & kHighBit) != 0) {
            const auto name = NameAt(e.nameField & ~kHighBit);
            if (!name) {
                return std::nullopt;
            }
            entry->named = true;
            entry->name = *name;
        } else {
            entry->id = static_cast<std::uint16_t>(e.nameField);
        }
        result.push_back(std::move(*entry));
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
