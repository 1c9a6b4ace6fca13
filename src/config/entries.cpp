#include "config/entries.h"

#include <optional>

namespace qv::config {

std::optional<SaverEntry> ParseSaverEntry(std::string_view entry) {
    if (entry.empty()) {
        return std::nullopt;
    }
    SaverEntry parsed;
    parsed.folder = entry.front() == '0' ? SaverFolder::Windows : SaverFolder::System;
    parsed.name = std::string(entry.substr(1));
    return parsed;
}

std::string FormatSaverEntry(const SaverEntry& entry) {
    return (entry.folder == SaverFolder::Windows ? "0" : "1") + entry.name;
}

std::string SaverPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    path += kSaverExtension;
    return path;
}

std::string TesselPath(std::string_view tesselsDir, std::string_view title) {
    std::string path(tesselsDir);
    path += '\\';
    path += title;
    path += kTesselExtension;
    return path;
}

std::string StripLastExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

}  // namespace qv::config
