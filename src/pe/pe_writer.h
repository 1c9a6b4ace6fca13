// Writes a resource-only 32-bit DLL: no code, one .rsrc section with named RT_RCDATA
// entries and a string table, laid out as resource compilers and linkers do.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace qv::pe {

struct ResourceLibraryLayout {
    struct Data {
        std::string name;  // stored upper case; entries are sorted by name
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Data> rcdata;
    // RCDATA entries with numeric ids (other data a library may carry).
    std::map<std::uint16_t, std::vector<std::uint8_t>> rcdataById;
    std::map<std::uint16_t, std::string> strings;  // id to UTF-8 text
};

// The upper-case form resource compilers give a resource name (ASCII letters only).
std::string ResourceNameForm(std::string_view name);

std::vector<std::uint8_t> WriteResourceLibrary(const ResourceLibraryLayout& layout);

// The same library written piece by piece, for data too large to hold at once: each RCDATA
// entry's bytes go to `spool` (a scratch stream, read and written) as they come, and Finish
// writes the headers and the directory, which need every name and size, and then copies
// the data in after them. The bytes equal WriteResourceLibrary's for the same entries.
class ResourceLibraryStream {
  public:
    explicit ResourceLibraryStream(std::iostream& spool);

    // False when the spool cannot take the bytes or the data would pass 4 GB.
    bool AddRcData(std::string_view name, std::span<const std::uint8_t> bytes);
    void SetStrings(std::map<std::uint16_t, std::string> strings) { strings_ = std::move(strings); }
    [[nodiscard]] std::uint64_t DataBytes() const { return dataBytes_; }

    // False when the library cannot be written whole (a failing stream, a section the
    // format's 32-bit sizes cannot hold).
    bool Finish(std::ostream& out);

  private:
    struct Entry {
        std::string name;
        std::uint64_t offset;
        std::uint64_t size;
    };
    std::iostream& spool_;
    std::vector<Entry> entries_;
    std::map<std::uint16_t, std::string> strings_;
    std::uint64_t dataBytes_ = 0;
};

}  // namespace qv::pe
