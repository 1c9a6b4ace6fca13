// Where Tessels are: the installation's Tessels folder (the machine value TesselsDir), which
// users cannot write, and each user's own under the local application data folder, where
// the Tessels a user makes go. Every part of the programs that looks for a Tessel by its
// title (the settings' list and its delete, the rotation, the show and so the previews)
// looks through these functions, so that all agree on which file a title names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_store.h"
#include "platform/ports.h"

namespace qv::config {

// Below the local application data folder: the product's folder, then its Tessels.
inline constexpr std::string_view kUserTesselsFolder = "Quorvanes\\Tessels";

struct TesselFolders {
    std::string installation;  // TesselsDir; empty when the installation names none
    std::string user;          // empty when the system gives no local application data folder
};

// The user's Tessels folder (it may not exist yet); empty when the system gives no local
// application data folder.
[[nodiscard]] std::string UserTesselsDir(platform::Files& files);

[[nodiscard]] TesselFolders TesselFoldersOf(const ConfigStore& store, platform::Files& files);

// The file of the Tessel `title`: the installation's when it has one (a title in both folders
// is the installation's), else the user's; nullopt when neither has it.
[[nodiscard]] std::optional<std::string> FindTessel(platform::Files& files,
                                                    const TesselFolders& folders,
                                                    std::string_view title);

struct FoundTessel {
    std::string title;  // the file's name without ".tsl"
    std::string path;
    bool users = false;  // in the user's folder
};

// Every Tessel of both folders, the installation's first, each in the listing's order; a
// title in both only once, as the installation's. Only files whose own name ends in ".tsl"
// count (the listing's pattern also matches folders and short names such as ARCHIV~1.TSL).
[[nodiscard]] std::vector<FoundTessel> ListTessels(platform::Files& files,
                                                   platform::TextRules& text,
                                                   const TesselFolders& folders);

}  // namespace qv::config
