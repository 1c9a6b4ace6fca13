// Tessels damaged the ways hostile or broken files are: made with the project's writer,
// then changed in place where a reader must not trust them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::testing {

enum class Damage {
    None,
    DataLongerThanTheFile,     // the first picture's data entry claims 16 MB
    DataPastTheEnd,            // the first picture's data lies far beyond the file
    StringOverrunsItsBlock,    // the link block's first string claims 65535 characters
    AllPicturesShareTheFirst,  // every picture entry points at the first one's data
};

// A Tessel of `pictures` (name, JPEG bytes) and links 1 to 8, damaged as asked. The
// pictures' names are kept, in the writer's order (upper case, sorted).
std::vector<std::uint8_t> DamagedTessel(
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& pictures,
    const std::vector<std::string>& links, Damage damage);

}  // namespace qv::testing
