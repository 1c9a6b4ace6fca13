#include "saver/show_layout.h"

#include <gtest/gtest.h>

#include <array>

#include "saver/hot_spots.h"
#include "test_frames.h"

namespace qv::saver {
namespace {

using config::MonitorUse;

// The monitors that show a picture come in client coordinates, the primary first and the
// others from left to right, however the system lists them.
TEST(ShowLayout, PictureMonitorsOnOneTwoAndThreeMonitorsWithNegativeOrigins) {
    const Screens one{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}};
    for (const MonitorUse use :
         {MonitorUse::PrimaryOnly, MonitorUse::SameOnEach, MonitorUse::NextOnEach}) {
        EXPECT_EQ(PictureMonitors(one, use), (std::vector<ScreenRect>{{0, 0, 1920, 1080}}));
    }
    // No list at all is the primary alone.
    EXPECT_EQ(PictureMonitors({{0, 0, 800, 600}, {0, 0, 800, 600}}, MonitorUse::SameOnEach),
              (std::vector<ScreenRect>{{0, 0, 800, 600}}));

    // A 2880 x 2160 monitor left of a 1920 x 1080 primary, its top 400 pixels higher.
    const Screens two{{-2880, -400, 1920, 1760},
                      {0, 0, 1920, 1080},
                      {{0, 0, 1920, 1080}, {-2880, -400, 0, 1760}}};
    EXPECT_EQ(PictureMonitors(two, MonitorUse::PrimaryOnly),
              (std::vector<ScreenRect>{{2880, 400, 4800, 1480}}));
    EXPECT_EQ(PictureMonitors(two, MonitorUse::SameOnEach),
              (std::vector<ScreenRect>{{2880, 400, 4800, 1480}, {0, 0, 2880, 2160}}));

    // Three, listed right one first: one right, one above the primary.
    const Screens three{{0, -768, 3200, 1200},
                        {0, 0, 1920, 1200},
                        {{1920, 0, 3200, 1024}, {0, 0, 1920, 1200}, {0, -768, 1024, 0}}};
    EXPECT_EQ(PictureMonitors(three, MonitorUse::NextOnEach),
              (std::vector<ScreenRect>{
                  {0, 768, 1920, 1968}, {0, 0, 1024, 768}, {1920, 768, 3200, 1792}}));
}

TEST(ShowLayout, FramesFitTheirMonitorOrKeepTheirSizeCentredRoundingTowardZero) {
    const ScreenRect monitor{2880, 400, 4800, 1480};
    EXPECT_EQ(FrameBox(monitor, config::PictureSize::OwnSize), std::nullopt);
    EXPECT_EQ(FrameBox(monitor, config::PictureSize::FillMonitor),
              (imaging::PictureSize{1920, 1080}));
    EXPECT_EQ(CentredOn(monitor, {1440, 1080}), (ScreenRect{3120, 400, 4560, 1480}));
    EXPECT_EQ(CentredOn(monitor, {641, 481}), (ScreenRect{3519, 699, 4160, 1180}));
    // Larger than its monitor: the overhang is split, toward zero.
    EXPECT_EQ(CentredOn({0, 0, 800, 600}, {1201, 901}), (ScreenRect{-200, -150, 1001, 751}));
}

// A link area is where it is drawn: every corner pixel of each of the eight areas of a
// 640 x 480 picture, fitted to a monitor, maps into that area, and the pixel beyond each
// corner does not; the letterbox is no picture.
TEST(ShowLayout, PointerMapsToTheLinkAreasAtTheirCornersOnFittedPictures) {
    struct Case {
        const char* name;
        ShownPicture shown;
    };
    const Case cases[] = {
        {"1920 x 1080, scaled by 2.25 in a letterbox", {{240, 0, 1680, 1080}, {640, 480}}},
        {"2880 x 2160 left of the primary, by 4.5", {{0, 0, 2880, 2160}, {640, 480}}},
        {"own size on a secondary", {{3520, 300, 4160, 780}, {640, 480}}},
        {"reduced to 400 x 300", {{100, 50, 500, 350}, {640, 480}}},
    };
    // The first drawn column (or row) of a picture column, as the drawn pixels map back.
    const auto drawnStart = [](int picture, int drawnSide, int pictureSide) {
        return static_cast<int>((std::int64_t{picture} * drawnSide + pictureSide - 1) /
                                pictureSide);
    };
    const auto spotAt = [](const ShownPicture& shown, int x, int y) {
        const auto point = PictureAt(shown, x, y);
        return point ? CheckForHotspot(point->x, point->y) : -1;
    };
    for (const auto& [name, shown] : cases) {
        SCOPED_TRACE(name);
        const ScreenRect& c = shown.content;
        for (int spot = 1; spot <= 8; ++spot) {
            SCOPED_TRACE(spot);
            const int column = (spot - 1) % 4;
            const bool top = spot <= 4;
            const int left = c.left + drawnStart(column * 160, c.Width(), 640);
            const int right = c.left + drawnStart(column * 160 + 160, c.Width(), 640) - 1;
            const int upper = c.top + drawnStart(top ? 0 : 440, c.Height(), 480);
            const int lower = c.top + drawnStart(top ? 40 : 480, c.Height(), 480) - 1;
            for (const auto& [x, y] : std::array<std::pair<int, int>, 4>{
                     {{left, upper}, {right, upper}, {left, lower}, {right, lower}}}) {
                EXPECT_EQ(spotAt(shown, x, y), spot) << x << "," << y;
            }
            EXPECT_NE(spotAt(shown, left - 1, upper), spot);
            EXPECT_NE(spotAt(shown, right + 1, lower), spot);
            EXPECT_NE(spotAt(shown, left, top ? lower + 1 : upper - 1), spot);
        }
        EXPECT_EQ(PictureAt(shown, c.left - 1, c.top), std::nullopt);
        EXPECT_EQ(PictureAt(shown, c.left, c.bottom), std::nullopt);
        EXPECT_EQ(PictureAt(shown, c.left, c.top), (PicturePoint{0, 0}));
    }
}

TEST(ShowLayout, APictureOnABlackCanvasIsCutAtItsEdges) {
    const auto white = testing::FrameOf(4, 3, [](int x, int) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x), 255, 255};
    });
    const imaging::Frame canvas = OnBlack(white, -1, 1, 5, 3);
    ASSERT_EQ(canvas.width, 5);
    ASSERT_EQ(canvas.height, 3);
    EXPECT_EQ(canvas.Pixel(0, 0)[1], 0) << "above the picture";
    EXPECT_EQ(canvas.Pixel(0, 1)[0], 1) << "the picture's second column, its first cut off";
    EXPECT_EQ(canvas.Pixel(2, 2)[0], 3);
    EXPECT_EQ(canvas.Pixel(3, 2)[1], 0) << "right of the picture";
    EXPECT_EQ(OnBlack(white, 9, 0, 5, 3).pixels, std::vector<std::uint8_t>(canvas.pixels.size()));
}

TEST(ShowLayout, APictureIsFittedToItsBoxOnlyWhenPicturesFillTheirMonitors) {
    const auto picture = testing::FrameOf(152, 112, [](int x, int) {
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(x), 0, 0};
    });
    const imaging::Frame fitted = FitPicture(picture, {352, 312}, config::PictureSize::FillMonitor);
    EXPECT_EQ(fitted.width, 352);
    EXPECT_EQ(fitted.height, 259);
    EXPECT_EQ(FitPicture(picture, {352, 312}, config::PictureSize::OwnSize).width, 152);
    EXPECT_EQ(FitPicture(picture, {0, 0}, config::PictureSize::FillMonitor).width, 152);
}

// A fade's steps, whatever their timing, hold the blend the time says and end on the
// incoming frame exactly.
TEST(ShowLayout, CrossfadeStepsBlendInPlaceAndEndOnTheIncomingFrame) {
    EXPECT_EQ(FadeShare(-5), 0);
    EXPECT_EQ(FadeShare(0), 0);
    EXPECT_EQ(FadeShare(250), 128);
    EXPECT_EQ(FadeShare(500), kFadeWhole);
    EXPECT_EQ(FadeShare(90'000), kFadeWhole);

    const auto flat = [](std::uint8_t b, std::uint8_t g, std::uint8_t r) {
        return testing::FrameOf(7, 5, [=](int, int) { return std::array{b, g, r}; });
    };
    const imaging::Frame incoming = flat(250, 0, 100);
    for (const std::array steps :
         {std::array{40, 80, 120, 260, 400, 440, 500}, std::array{10, 11, 12, 13, 14, 15, 500}}) {
        imaging::Frame shown = flat(0, 250, 100);
        int share = 0;
        for (const int ms : steps) {
            const int next = FadeShare(ms);
            ASSERT_TRUE(FadeToward(shown, incoming, share, next));
            share = next;
            const double expected = 250.0 * share / kFadeWhole;
            EXPECT_NEAR(shown.Pixel(6, 4)[0], expected, 2.0) << ms;
            EXPECT_NEAR(shown.Pixel(0, 0)[1], 250.0 - expected, 2.0) << ms;
            EXPECT_EQ(shown.Pixel(3, 2)[2], 100) << "a channel both share stays";
        }
        EXPECT_EQ(shown.pixels, incoming.pixels);
    }
    imaging::Frame other = flat(1, 2, 3);
    const imaging::Frame wider = testing::FrameOf(8, 5, [](int, int) {
        return std::array<std::uint8_t, 3>{9, 9, 9};
    });
    EXPECT_FALSE(FadeToward(other, wider, 0, 128));
    EXPECT_EQ(other.Pixel(0, 0)[0], 1);
}

}  // namespace
}  // namespace qv::saver
