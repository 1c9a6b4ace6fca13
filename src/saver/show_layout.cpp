#include "saver/show_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "imaging/resample.h"

namespace qv::saver {

namespace {

ScreenRect InClient(const ScreenRect& rect, const ScreenRect& area) {
    return {rect.left - area.left, rect.top - area.top, rect.right - area.left,
            rect.bottom - area.top};
}

}  // namespace

std::vector<ScreenRect> PictureMonitors(const Screens& screens, config::MonitorUse use) {
    std::vector<ScreenRect> shown{InClient(screens.primary, screens.virtualScreen)};
    if (use == config::MonitorUse::PrimaryOnly) {
        return shown;
    }
    for (const ScreenRect& monitor : screens.monitors) {
        if (monitor != screens.primary && monitor.Width() > 0 && monitor.Height() > 0) {
            shown.push_back(InClient(monitor, screens.virtualScreen));
        }
    }
    std::sort(shown.begin() + 1, shown.end(), [](const ScreenRect& a, const ScreenRect& b) {
        return a.left != b.left ? a.left < b.left : a.top < b.top;
    });
    return shown;
}

std::optional<imaging::PictureSize> FrameBox(const ScreenRect& monitor, config::PictureSize size) {
    if (size == config::PictureSize::OwnSize) {
        return std::nullopt;
    }
    return imaging::PictureSize{monitor.Width(), monitor.Height()};
}

ScreenRect CentredOn(const ScreenRect& monitor, imaging::PictureSize size) {
    const int left = monitor.left + (monitor.Width() - size.width) / 2;
    const int top = monitor.top + (monitor.Height() - size.height) / 2;
    return {left, top, left + size.width, top + size.height};
}

std::optional<PicturePoint> PictureAt(const ShownPicture& shown, int x, int y) {
    const ScreenRect& content = shown.content;
    if (!content.Contains(x, y) || shown.picture.width <= 0 || shown.picture.height <= 0) {
        return std::nullopt;
    }
    // Each drawn pixel belongs to the picture's pixel it was made from: scaled back and
    // rounded down, in 64 bits for any size.
    const auto scaled = [](int offset, int pictureSide, int drawnSide) {
        return static_cast<int>(std::int64_t{offset} * pictureSide / drawnSide);
    };
    return PicturePoint{scaled(x - content.left, shown.picture.width, content.Width()),
                        scaled(y - content.top, shown.picture.height, content.Height())};
}

imaging::Frame OnBlack(const imaging::Frame& picture, int x, int y, int width, int height) {
    imaging::Frame canvas;
    canvas.width = std::max(width, 0);
    canvas.height = std::max(height, 0);
    canvas.stride = imaging::DibStride(canvas.width);
    canvas.pixels.assign(canvas.stride * static_cast<std::size_t>(canvas.height), 0);
    const int fromX = std::max(0, -x);
    const int toX = std::min(picture.width, canvas.width - x);
    if (toX <= fromX) {
        return canvas;
    }
    const auto bytes = static_cast<std::size_t>(toX - fromX) * 3;
    for (int row = std::max(0, -y); row < std::min(picture.height, canvas.height - y); ++row) {
        std::memcpy(const_cast<std::uint8_t*>(canvas.Pixel(x + fromX, y + row)),
                    picture.Pixel(fromX, row), bytes);
    }
    return canvas;
}

imaging::Frame FitPicture(const imaging::Frame& picture, imaging::PictureSize box,
                          config::PictureSize size) {
    const imaging::Placement fitted =
        imaging::FitInside({picture.width, picture.height}, box, imaging::Enlarge::Allowed);
    imaging::Frame made;
    if (size == config::PictureSize::OwnSize || fitted.size.width == 0 ||
        !imaging::Resample(picture, fitted.size.width, fitted.size.height, made)) {
        return picture;
    }
    return made;
}

int FadeShare(long long elapsedMs) {
    if (elapsedMs <= 0) {
        return 0;
    }
    if (elapsedMs >= kCrossfadeMs) {
        return kFadeWhole;
    }
    return static_cast<int>(elapsedMs * kFadeWhole / kCrossfadeMs);
}

bool FadeToward(imaging::Frame& shown, const imaging::Frame& incoming, int from, int to) {
    if (shown.width != incoming.width || shown.height != incoming.height ||
        shown.pixels.size() != incoming.pixels.size()) {
        return false;
    }
    from = std::clamp(from, 0, kFadeWhole - 1);
    to = std::clamp(to, from, kFadeWhole);
    if (to == kFadeWhole) {
        shown.pixels = incoming.pixels;
        return true;
    }
    // What is left of the outgoing frame shrinks from (whole - from) to (whole - to): each
    // byte moves that part of the way toward the incoming one, in 1/65536ths.
    const std::int32_t step = ((to - from) << 16) / (kFadeWhole - from);
    std::uint8_t* out = shown.pixels.data();
    const std::uint8_t* in = incoming.pixels.data();
    for (std::size_t i = 0, n = shown.pixels.size(); i < n; ++i) {
        const std::int32_t gap = std::int32_t{in[i]} - out[i];
        out[i] = static_cast<std::uint8_t>(out[i] + ((gap * step + 0x8000) >> 16));
    }
    return true;
}

}  // namespace qv::saver
