// How the picture show uses the monitors: three choices of the user, each stored as a
// digit in text. A missing or unknown value is the default, which is the show as it
// always was (own size, the primary monitor only, a cut).
#pragma once

#include <string>
#include <string_view>

#include "config/config_store.h"

namespace qv::config {

enum class PictureSize { OwnSize, FillMonitor };                // "0", "1"
enum class MonitorUse { PrimaryOnly, SameOnEach, NextOnEach };  // "0", "1", "2"

struct ShowModes {
    PictureSize size = PictureSize::OwnSize;
    MonitorUse monitors = MonitorUse::PrimaryOnly;
    bool crossfade = false;  // "1": each change is a crossfade

    friend bool operator==(const ShowModes&, const ShowModes&) = default;
};

// Each value read alone: one that is not exactly one of its digits is its default.
[[nodiscard]] ShowModes ParseShowModes(std::string_view pictureSize, std::string_view monitors,
                                       std::string_view crossfade);
[[nodiscard]] ShowModes ReadShowModes(const ConfigStore& store);

// The texts the modes are stored as, in the order PictureSize, Monitors, Crossfade.
[[nodiscard]] std::string PictureSizeText(PictureSize size);
[[nodiscard]] std::string MonitorUseText(MonitorUse use);
[[nodiscard]] std::string CrossfadeText(bool crossfade);

}  // namespace qv::config
