// A Tessel as the picture show sees it: its picture names and its eight links.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pe/pe_library.h"
#include "platform/ports.h"

namespace qv::saver {

inline constexpr std::size_t kLinkCount = 8;
// Links are read into a 513-character buffer: a longer text is cut.
inline constexpr std::size_t kLinkMaxChars = 512;

struct Tessel {
    std::vector<std::string> pictures;            // FPictures: names in directory order
    std::array<std::string, kLinkCount> links{};  // FLinks: empty for no link
};

// A named RT_RCDATA entry is a picture when its name contains "jpeg" in any case.
bool IsPictureName(std::string_view name);

// The first `maxChars` characters of UTF-8 text (never splitting a character).
std::string CutToChars(std::string_view utf8, std::size_t maxChars);

Tessel ReadTessel(pe::PeResourceLibrary& library);

// The Tessel file at `path` as a resource library read as data; nullptr when it cannot be
// opened or is not a resource library.
std::unique_ptr<pe::PeResourceLibrary> OpenTessel(platform::Files& files, std::string_view path);

}  // namespace qv::saver
