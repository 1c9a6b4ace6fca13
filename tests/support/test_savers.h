// Screen saver files made in the test, as far as their headers go, for the descriptions'
// tests and bench.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qv::testing {

// A 16-bit saver: the DOS header, the NE header at `newHeader`, and the non-resident name
// table at `table`, whose first entry is the module description (length byte, text,
// ordinal 0). The file ends with the description's 258 bytes unless `size` says otherwise;
// what does not fit in the file is left out.
struct NeLayout {
    std::uint32_t newHeader = 0x80;
    std::uint32_t table = 0x200;
    std::size_t size = 0;
};
std::vector<std::uint8_t> MakeNeSaver(std::string_view description, NeLayout layout = {});

// A resource library (one section) with `gap` bytes before its resource section, as a
// large program keeps its code and data before its resources.
std::vector<std::uint8_t> WithResourcesAtTheEnd(std::vector<std::uint8_t> pe, std::uint32_t gap);

}  // namespace qv::testing
