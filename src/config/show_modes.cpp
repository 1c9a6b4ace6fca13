#include "config/show_modes.h"

#include "config/names.h"

namespace qv::config {
namespace {

// The index of `text` among `digits` ("0", "1", ...), or 0 when it is none of them.
int DigitIndex(std::string_view text, int count) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + count)
        return text[0] - '0';
    return 0;
}

}  // namespace

ShowModes ParseShowModes(std::string_view pictureSize, std::string_view monitors,
                         std::string_view crossfade) {
    ShowModes modes;
    modes.size = static_cast<PictureSize>(DigitIndex(pictureSize, 2));
    modes.monitors = static_cast<MonitorUse>(DigitIndex(monitors, 3));
    modes.crossfade = DigitIndex(crossfade, 2) == 1;
    return modes;
}

ShowModes ReadShowModes(const ConfigStore& store) {
    return ParseShowModes(store.ReadUserValue(value::PictureSize),
                          store.ReadUserValue(value::Monitors),
                          store.ReadUserValue(value::Crossfade));
}

std::string PictureSizeText(PictureSize size) {
    return std::to_string(static_cast<int>(size));
}
std::string MonitorUseText(MonitorUse use) {
    return std::to_string(static_cast<int>(use));
}
std::string CrossfadeText(bool crossfade) {
    return crossfade ? "1" : "0";
}

}  // namespace qv::config
