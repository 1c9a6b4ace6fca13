#include "test_savers.h"

namespace qv::testing {

namespace {

std::uint32_t GetLe(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= std::uint32_t{bytes.at(at + i)} << (8 * i);
    }
    return value;
}

void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::vector<std::uint8_t> MakeNeSaver(std::string_view description, NeLayout layout) {
    std::vector<std::uint8_t> file(layout.size != 0 ? layout.size
                                                    : std::size_t{layout.table} + 258);
    file[0] = 'M';
    file[1] = 'Z';
    PutLe32(file, 0x3C, layout.newHeader);
    if (std::size_t{layout.newHeader} + 48 <= file.size()) {
        file[layout.newHeader] = 'N';
        file[layout.newHeader + 1] = 'E';
        PutLe32(file, layout.newHeader + 44, layout.table);
    }
    if (layout.table < file.size()) {
        file[layout.table] = static_cast<std::uint8_t>(description.size());
        for (std::size_t i = 0; i < description.size() && layout.table + 1 + i < file.size(); ++i) {
            file[layout.table + 1 + i] = static_cast<std::uint8_t>(description[i]);
        }
    }
    return file;
}

std::vector<std::uint8_t> WithResourcesAtTheEnd(std::vector<std::uint8_t> pe, std::uint32_t gap) {
    const std::size_t newHeader = GetLe(pe, 0x3C, 4);
    const std::size_t section = newHeader + 24 + GetLe(pe, newHeader + 20, 2);
    const std::uint32_t raw = GetLe(pe, section + 20, 4);
    pe.insert(pe.begin() + raw, gap, 0xCC);
    PutLe32(pe, section + 20, raw + gap);
    return pe;
}

}  // namespace qv::testing
