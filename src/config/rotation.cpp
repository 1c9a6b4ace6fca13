#include "config/rotation.h"

#include "config/entries.h"
#include "config/names.h"
#include "config/paths.h"
#include "config/title_list.h"

namespace qv::config {

namespace {

// Where the search starts: after the current entry (compared without case); at the first
// entry when there is no current one or it is no longer in the list.
std::size_t StartIndex(const TitleList& list, const std::string& current,
                       platform::TextRules& text) {
    if (current.empty()) {
        return 0;
    }
    return static_cast<std::size_t>(IndexOfEntry(list, current, text) + 1);
}

}  // namespace

Rotation::Rotation(const platform::Platform& platform, const ConfigStore& store, bool trayRunning)
    : platform_(platform), store_(store), trayRunning_(trayRunning) {}

std::string Rotation::SaverFolder(char digit) const {
    return digit == '0' ? WindowsDirectory512(platform_.files)
                        : SystemDirectory512(platform_.files);
}

std::string Rotation::NextRotationSaver() const {
    const std::string current = store_.ReadUserValue(value::CurrentSaver);
    const std::string stored = store_.ReadUserValue(value::Saver);
    if (stored.empty()) {
        return {};
    }
    const TitleList list = DecodeTitleList(stored);
    for (std::size_t i = StartIndex(list, current, platform_.text); i < list.size(); ++i) {
        // The position is written before the file is looked at: a missing file leaves the
        // position on it and costs no turn.
        store_.WriteUserValue(value::CurrentSaver, list[i]);
        const auto entry = ParseSaverEntry(list[i]);
        if (!entry) {
            continue;  // an empty entry, possible only by hand: passed over like a missing file
        }
        const std::string path = SaverPath(SaverFolder(list[i].front()), entry->name);
        const auto shortPath = ShortPathWithin512(platform_.files, path);
        if (shortPath && platform_.files.FileExists(*shortPath)) {
            return *shortPath;
        }
    }
    store_.WriteUserValue(value::CurrentSaver, "");
    return {};
}

std::string Rotation::ChosenTesselResult(const std::string& tesselPath) const {
    // The caller only needs to know that a Tessel was chosen: the saver host's own short
    // path, else its long path, else (no InstallLocation at all) the Tessel's path.
    const std::string install = store_.ReadMachineValue(value::InstallLocation);
    if (const auto shortPath = ShortPathWithin512(platform_.files, install)) {
        return *shortPath;
    }
    return install.empty() ? tesselPath : install;
}

std::string Rotation::NextRotationTessel() const {
    const std::string current = store_.ReadUserValue(value::CurrentTessel);
    const std::string stored = store_.ReadUserValue(value::Tessel);
    if (stored.empty()) {
        return {};
    }
    const TitleList list = DecodeTitleList(stored);
    std::size_t i = StartIndex(list, current, platform_.text);
    if (!trayRunning_ && i >= list.size()) {
        i = 0;  // without the tray program the list wraps, once, here only
    }
    for (; i < list.size(); ++i) {
        store_.WriteUserValue(value::CurrentTessel, list[i]);
        if (list[i].empty()) {
            continue;
        }
        const std::string path = TesselPath(store_.ReadMachineValue(value::TesselsDir), list[i]);
        if (platform_.files.FileExists(path)) {
            return ChosenTesselResult(path);
        }
    }
    store_.WriteUserValue(value::CurrentTessel, "");
    return {};
}

// The listing's pattern also matches folders and names whose short (8.3) form ends in
// ".tsl" ("Archive.tslx" is ARCHIV~1.TSL): only a file whose own name ends so is a Tessel.
std::string Rotation::FirstTessel() const {
    const std::string dir = store_.ReadMachineValue(value::TesselsDir);
    for (const std::string& name :
         platform_.files.List(dir + "\\*" + std::string(kTesselExtension))) {
        const bool tesselName =
            name.size() > kTesselExtension.size() &&
            platform_.text.SameName(
                std::string_view(name).substr(name.size() - kTesselExtension.size()),
                kTesselExtension);
        if (tesselName && platform_.files.FileExists(dir + "\\" + name)) {
            return StripLastExtension(name);
        }
    }
    return {};
}

}  // namespace qv::config
