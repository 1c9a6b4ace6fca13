// Writes a resource-only 32-bit DLL: no code, one .rsrc section with named RT_RCDATA
// entries and a string table, laid out as resource compilers and linkers do.
#pragma once

#include <cstdint>
#include <map>
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

}  // namespace qv::pe
