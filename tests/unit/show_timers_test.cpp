#include "saver/show_timers.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "saver/hot_spots.h"

namespace qv::saver {
namespace {

using platform::memory::FakeClock;

// Runs every step at once and reports whether the window still exists.
Synchronize WindowAliveFor(int steps, int& ran) {
    return [steps, &ran](const std::function<void()>& step) {
        if (ran >= steps) {
            return false;
        }
        ++ran;
        step();
        return true;
    };
}

TEST(PictureTimer, FirstChangeOneIntervalAfterTheStartThenEveryInterval) {
    FakeClock clock;
    std::vector<std::int64_t> changes;
    int ran = 0;
    RunPictureTimer(clock, 8, WindowAliveFor(3, ran), [&] { changes.push_back(clock.now); });
    EXPECT_EQ(changes, (std::vector<std::int64_t>{8000, 16000, 24000}));
}

TEST(Countdown, TimeOverALinkDoesNotCount) {
    FakeClock clock;
    std::atomic<bool> suspended = false;
    // The pointer rests on a link from second 2 to second 10.
    clock.onSleep = [&](std::int64_t) { suspended = clock.now > 2000 && clock.now <= 10000; };
    std::optional<std::int64_t> firedAt;
    int ran = 0;
    RunCountdown(clock, 5, suspended, WindowAliveFor(1, ran), [&] { firedAt = clock.now; });
    ASSERT_TRUE(firedAt);
    EXPECT_NEAR(static_cast<double>(*firedAt), 13000.0, 100.0);
}

TEST(Countdown, FiresOnceAfterItsSecondsWhenNothingPauses) {
    FakeClock clock;
    std::atomic<bool> suspended = false;
    int fired = 0;
    int ran = 0;
    RunCountdown(clock, 5, suspended, WindowAliveFor(5, ran), [&] { ++fired; });
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(clock.now, 5000);
}

TEST(HotSpots, TopAndBottomBandsInFourColumns) {
    EXPECT_EQ(CheckForHotspot(0, 0), 1);
    EXPECT_EQ(CheckForHotspot(200, 10), 2);
    EXPECT_EQ(CheckForHotspot(639, 39), 4);
    EXPECT_EQ(CheckForHotspot(0, 440), 5);
    EXPECT_EQ(CheckForHotspot(500, 460), 8);
    EXPECT_EQ(CheckForHotspot(200, 100), 0);
    EXPECT_EQ(CheckForHotspot(200, 40), 0) << "the row y = 40 is no hot spot";
    EXPECT_EQ(CheckForHotspot(700, 10), 0) << "beyond the 640-pixel layout";
    EXPECT_EQ(CheckForHotspot(320, 700), 7) << "a taller picture: its bottom band goes on";
    EXPECT_EQ(CheckForHotspot(-1, 10), 0);
}

}  // namespace
}  // namespace qv::saver
