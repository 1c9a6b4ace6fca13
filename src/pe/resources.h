// The resource directory of a PE image: type, then name or id, then language. Reads only
// the directory to list entries; data is read when asked for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pe/byte_source.h"
#include "pe/pe_image.h"

namespace qv::pe {

inline constexpr std::uint16_t kRtString = 6;
inline constexpr std::uint16_t kRtRcdata = 10;

struct ResourceEntry {
    bool named = false;
    std::uint16_t id = 0;  // when not named
    std::string name;      // when named: the directory's UTF-16 name as UTF-8
    std::uint32_t dataRva = 0;
    std::uint32_t size = 0;
};

class ResourceReader {
  public:
    // Directories hold at most this many entries; a larger count is damage, not data.
    static constexpr std::size_t kMaxEntriesPerDirectory = 4096;

    ResourceReader(ByteSource& source, PeImage image);

    // The entries of one type in directory order (named ones first, as the format keeps
    // them), each with its first language. An absent type is an empty list.
    [[nodiscard]] std::optional<std::vector<ResourceEntry>> Entries(std::uint16_t type,
                                                                    PeError& error);
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> Data(const ResourceEntry& entry);
    // Whether the file holds all of an entry's data (a damaged entry claims more).
    [[nodiscard]] bool HoldsData(const ResourceEntry& entry) const;

    // String resource `id` from its RT_STRING block; nullopt when it is missing or empty.
    [[nodiscard]] std::optional<std::u16string> String(std::uint16_t id);

  private:
    struct DirEntry {
        std::uint32_t nameField;
        std::uint32_t offsetField;
    };
    std::optional<std::vector<DirEntry>> Directory(std::uint32_t offset);
    bool NameAt(std::uint32_t offset, std::string& name);
    bool FirstLanguage(std::uint32_t offset, std::uint32_t typeDir, ResourceEntry& entry);
    // Directory bytes at a resource offset, without a copy; valid until the next read.
    const std::uint8_t* Bytes(std::uint32_t offset, std::uint32_t count);
    std::optional<std::uint32_t> SubdirectoryFor(const std::vector<DirEntry>& entries,
                                                 std::uint16_t id);

    ByteSource& source_;
    PeImage image_;
    // The resource bytes that lie in the section holding the root, mapped once: directory
    // reads there need no search of the section table.
    std::uint64_t rootFileOffset_ = 0;
    std::uint32_t rootSpan_ = 0;
    std::optional<std::vector<ResourceEntry>> stringBlocks_;  // walked once, on first use
};

}  // namespace qv::pe
