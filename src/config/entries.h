// The two entry forms of the title lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::config {

// A saver entry is a directory digit and the file name without ".scr":
// "0" the Windows directory, "1" (and any other first character) the System directory.
enum class SaverFolder { Windows, System };

struct SaverEntry {
    SaverFolder folder = SaverFolder::System;
    std::string name;  // file name without ".scr"
};

// nullopt for an empty entry, which has no digit to read.
std::optional<SaverEntry> ParseSaverEntry(std::string_view entry);
std::string FormatSaverEntry(const SaverEntry& entry);

inline constexpr std::string_view kSaverExtension = ".scr";
inline constexpr std::string_view kTesselExtension = ".tsl";

// Path of a saver's file: the folder, a backslash, the name and ".scr".
std::string SaverPath(std::string_view folder, std::string_view name);

// Path of a Tessel's file: the Tessels folder, a backslash, the title and ".tsl".
std::string TesselPath(std::string_view tesselsDir, std::string_view title);

// A file name up to, not including, its last "."; the whole name when it has none.
std::string StripLastExtension(std::string_view fileName);

}  // namespace qv::config
