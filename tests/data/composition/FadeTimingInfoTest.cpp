#include "data/composition/FadeTimingInfo.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;

namespace {

MediaTime ms(std::int64_t milliseconds) {
    return MediaTime(milliseconds, 1000);
}

} // namespace

TEST(FadeTimingInfo, OpacityRampsInAndOutOverItsWindows) {
    FadeTimingInfo timing{0.8f, ms(0), ms(1000), ms(0), ms(500), ms(800), ms(1000)};
    const std::pair<MediaTime, float> expected[] = {
        {ms(0), 0.0f},   {ms(250), 0.4f},  {ms(500), 0.8f},  {ms(700), 0.8f}, {ms(800), 0.8f},
        {ms(900), 0.4f}, {ms(1000), 0.0f}, {ms(1200), 0.0f}, {ms(-5), 0.0f},
    };
    for (const auto& [time, opacity] : expected) {
        EXPECT_NEAR(timing.effectiveOpacity(time), opacity, 1e-6) << time;
    }

    // A window with one end is no window.
    FadeTimingInfo halfWindows{0.5f, ms(0), ms(1000), ms(0), std::nullopt, std::nullopt, ms(1000)};
    EXPECT_EQ(halfWindows.effectiveOpacity(ms(0)), 0.5f);
    EXPECT_EQ(halfWindows.effectiveOpacity(ms(999)), 0.5f);

    // Overlapping windows (a clip shorter than its transitions): the entrance
    // until its end, then the exit.
    FadeTimingInfo overlapping{1.0f, ms(0), ms(1000), ms(0), ms(600), ms(400), ms(1000)};
    EXPECT_NEAR(overlapping.effectiveOpacity(ms(500)), 500.0f / 600.0f, 1e-6);
    EXPECT_NEAR(overlapping.effectiveOpacity(ms(700)), 0.5f, 1e-6);

    // Empty windows cut straight to and from nothing.
    FadeTimingInfo empty{1.0f, ms(0), ms(1000), ms(300), ms(300), ms(700), ms(700)};
    EXPECT_EQ(empty.effectiveOpacity(ms(299)), 0.0f);
    EXPECT_EQ(empty.effectiveOpacity(ms(300)), 1.0f);
    EXPECT_EQ(empty.effectiveOpacity(ms(700)), 0.0f);
}

TEST(FadeTimingInfo, FrameTimesAreClassifiedExactlyAgainstWindowBounds) {
    // Bounds at timescale 600 against frame times n/30: 2/30 s is 40/600
    // exactly, which a round trip through doubles could put on either side.
    FadeTimingInfo timing{1.0f,
                          MediaTime(40, 600),
                          MediaTime(100, 600),
                          MediaTime(40, 600),
                          MediaTime(60, 600),
                          MediaTime(80, 600),
                          MediaTime(100, 600)};
    EXPECT_FALSE(timing.isActive(MediaTime(1, 30)));
    EXPECT_TRUE(timing.isActive(MediaTime(2, 30)));
    EXPECT_TRUE(timing.isActive(MediaTime(4, 30)));
    EXPECT_FALSE(timing.isActive(MediaTime(5, 30)));
    EXPECT_EQ(timing.effectiveOpacity(MediaTime(2, 30)), 0.0f);
    EXPECT_EQ(timing.effectiveOpacity(MediaTime(3, 30)), 1.0f);
    EXPECT_EQ(timing.effectiveOpacity(MediaTime(4, 30)), 1.0f);
    EXPECT_EQ(timing.effectiveOpacity(MediaTime(5, 30)), 0.0f);
    // A time of the finest kind, one tick of 1/90000 inside.
    EXPECT_TRUE(timing.isActive(MediaTime(6000, 90000)));
    EXPECT_FALSE(timing.isActive(MediaTime(5999, 90000)));
}
