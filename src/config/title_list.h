// The stored form of the `Saver` and `Tessel` lists: comma-separated entries, quoted where
// they hold blanks, control characters, commas or double quotes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"

namespace qv::config {

using TitleList = std::vector<std::string>;

std::string EncodeTitleList(const TitleList& entries);
TitleList DecodeTitleList(std::string_view text);

// A single entry in the form other code writes it by hand: a double quote, the name and a
// double quote. Reads back as that name (when the name holds no double quote).
std::string QuoteSingleEntry(std::string_view name);

// Entries are compared as the file system compares names (TextRules::SameName). Index of
// `entry` in `list`, or -1.
int IndexOfEntry(const TitleList& list, std::string_view entry, platform::TextRules& text);

}  // namespace qv::config
