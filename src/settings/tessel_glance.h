// A Tessel at a glance, for the tip over its row of the settings list: its first picture
// as a thumbnail, how many pictures it holds and their size, and where its links lead.
// Read off the window's thread: the file is opened, every picture's header read and the
// first picture decoded small.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "platform/ports.h"

namespace qv::settings {

// The thumbnail's box: at most this wide and this high.
inline constexpr int kThumbnailMaxWidth = 160;
inline constexpr int kThumbnailMaxHeight = 160;

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct TesselLink {
    int number = 0;       // 1 to 8, the link area
    std::string address;  // in full
    std::string host;     // empty when the address is no web address
};

struct TesselGlance {
    // Why the Tessel cannot be shown as it is; empty for a sound one.
    std::string damage;
    std::size_t pictures = 0;
    std::size_t unreadable = 0;  // pictures whose header cannot be read
    PixelSize smallest;          // by area, of the readable ones
    PixelSize largest;
    std::optional<imaging::Frame> thumbnail;  // the first picture, upright, fitted
    std::vector<TesselLink> links;            // the links given, in area order
};

// Reads the Tessel at `path`. Never throws for what a file holds.
[[nodiscard]] TesselGlance GlanceAt(platform::Files& files, std::string_view path);

// The host of a web address ("http://user@www.example.org:8080/x" gives "www.example.org");
// empty when it is no web address.
[[nodiscard]] std::string LinkHost(std::string_view address);

// The tip's text: the title, the pictures and their size, or the damage, then one line per
// link with its host and its full address. A screen reader hears the same.
[[nodiscard]] std::string GlanceText(std::string_view title, const TesselGlance& glance);

}  // namespace qv::settings
