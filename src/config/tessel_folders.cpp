#include "config/tessel_folders.h"

#include <algorithm>

#include "config/entries.h"
#include "config/names.h"

namespace qv::config {

namespace {

bool HasTesselName(platform::TextRules& text, std::string_view name) {
    return name.size() > kTesselExtension.size() &&
           text.SameName(name.substr(name.size() - kTesselExtension.size()), kTesselExtension);
}

}  // namespace

std::string UserTesselsDir(platform::Files& files) {
    std::string local = files.LocalAppDataDirectory();
    if (local.empty()) {
        return {};
    }
    if (local.back() != '\\') {
        local += '\\';
    }
    return local + std::string(kUserTesselsFolder);
}

TesselFolders TesselFoldersOf(const ConfigStore& store, platform::Files& files) {
    return {store.ReadMachineValue(value::TesselsDir), UserTesselsDir(files)};
}

std::optional<std::string> FindTessel(platform::Files& files, const TesselFolders& folders,
                                      std::string_view title) {
    if (title.empty()) {
        return std::nullopt;
    }
    for (const std::string* folder : {&folders.installation, &folders.user}) {
        if (folder->empty()) {
            continue;
        }
        std::string path = TesselPath(*folder, title);
        if (files.FileExists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

std::vector<FoundTessel> ListTessels(platform::Files& files, platform::TextRules& text,
                                     const TesselFolders& folders) {
    std::vector<FoundTessel> found;
    for (const std::string* folder : {&folders.installation, &folders.user}) {
        if (folder->empty()) {
            continue;
        }
        const bool users = folder == &folders.user;
        for (const std::string& name :
             files.List(*folder + "\\*" + std::string(kTesselExtension))) {
            std::string title = StripLastExtension(name);
            const bool known = std::any_of(found.begin(), found.end(), [&](const FoundTessel& f) {
                return text.SameName(f.title, title);
            });
            std::string path = *folder + "\\" + name;
            if (!known && HasTesselName(text, name) && files.FileExists(path)) {
                found.push_back({std::move(title), std::move(path), users});
            }
        }
    }
    return found;
}

}  // namespace qv::config
