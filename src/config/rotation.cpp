#include "config/rotation.h"

#include <functional>
#include <optional>
#include <utility>

#include "config/entries.h"
#include "config/names.h"
#include "config/paths.h"
#include "config/tessel_folders.h"
#include "config/title_list.h"

namespace qv::config {

namespace {

// One list's walk. The position names the entry to start after (compared without case);
// with none, or one no longer in the list, the walk starts at the first entry, and with
// `wrapAtEnd` a position on the last entry starts it there too. Each entry is written as
// the position before it is looked at: an entry `pick` passes over (nullopt) leaves the
// position on it and costs no turn. At the end of the list the position is cleared, so the
// next walk starts at the first entry.
std::string Walk(const ConfigStore& store, platform::TextRules& text, std::string_view listValue,
                 std::string_view positionValue, bool wrapAtEnd,
                 const std::function<std::optional<std::string>(const std::string&)>& pick) {
    const std::string current = store.ReadUserValue(positionValue);
    const std::string stored = store.ReadUserValue(listValue);
    if (stored.empty()) {
        return {};
    }
    const TitleList list = DecodeTitleList(stored);
    std::size_t i =
        current.empty() ? 0 : static_cast<std::size_t>(IndexOfEntry(list, current, text) + 1);
    if (wrapAtEnd && i >= list.size()) {
        i = 0;
    }
    for (; i < list.size(); ++i) {
        store.WriteUserValue(positionValue, list[i]);
        if (auto picked = pick(list[i])) {
            return std::move(*picked);
        }
    }
    store.WriteUserValue(positionValue, "");
    return {};
}

}  // namespace

Rotation::Rotation(const platform::Platform& platform, const ConfigStore& store, bool trayRunning)
    : platform_(platform), store_(store), trayRunning_(trayRunning) {}

std::string Rotation::SaverFolder(char digit) const {
    return digit == '0' ? WindowsDirectory512(platform_.files)
                        : SystemDirectory512(platform_.files);
}

std::string Rotation::NextRotationSaver() const {
    return Walk(store_, platform_.text, value::Saver, value::CurrentSaver, false,
                [&](const std::string& stored) -> std::optional<std::string> {
                    const auto entry = ParseSaverEntry(stored);
                    if (!entry) {
                        return std::nullopt;  // an empty entry, possible only by hand
                    }
                    const std::string path = SaverPath(SaverFolder(stored.front()), entry->name);
                    const auto shortPath = ShortPathWithin512(platform_.files, path);
                    if (shortPath && platform_.files.FileExists(*shortPath)) {
                        return shortPath;
                    }
                    return std::nullopt;
                });
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
    // Without the tray program the list wraps, once, here only.
    return Walk(store_, platform_.text, value::Tessel, value::CurrentTessel, !trayRunning_,
                [&](const std::string& name) -> std::optional<std::string> {
                    const auto path =
                        FindTessel(platform_.files, TesselFoldersOf(store_, platform_.files), name);
                    if (path) {
                        return ChosenTesselResult(*path);
                    }
                    return std::nullopt;
                });
}

// The first Tessel file of either folder, the installation's first.
std::string Rotation::FirstTessel() const {
    const auto tessels =
        ListTessels(platform_.files, platform_.text, TesselFoldersOf(store_, platform_.files));
    return tessels.empty() ? std::string() : tessels.front().title;
}

}  // namespace qv::config
