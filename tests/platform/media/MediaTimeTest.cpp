#include "platform/media/MediaTime.h"
#include "platform/media/MediaTimeRange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using vexel::media::MediaTime;
using vexel::media::MediaTimeRange;

TEST(MediaTime, ComparesExactlyAcrossTimescales) {
    EXPECT_EQ(MediaTime(20, 600), MediaTime(1, 30));
    EXPECT_EQ(MediaTime(512, 15360), MediaTime(1, 30));
    EXPECT_LT(MediaTime(1, 30), MediaTime(21, 600));
    EXPECT_GT(MediaTime(1, 3), MediaTime(333333, 1000000));
    // One frame at n/30 against a 600-based bound that doubles would blur.
    EXPECT_LT(MediaTime(7, 30), MediaTime(141, 600));
    EXPECT_EQ(MediaTime(7, 30), MediaTime(140, 600));
    EXPECT_EQ(MediaTime(), MediaTime::zero());
    EXPECT_EQ(MediaTime(0, 7), MediaTime::zero());
    EXPECT_THROW(MediaTime(1, 0), std::invalid_argument);
}

TEST(MediaTime, FromSecondsRoundsToTimescale600) {
    EXPECT_EQ(MediaTime::fromSeconds(2.5), MediaTime(1500, 600));
    EXPECT_EQ(MediaTime::fromSeconds(2.5).timescale(), 600);
    EXPECT_EQ(MediaTime::fromSeconds(0.01).value(), 6);
    // Halves go away from zero, as llround does.
    EXPECT_EQ(MediaTime::fromSeconds(1.0 / 1200).value(), 1);
    EXPECT_EQ(MediaTime::fromSeconds(-1.0 / 1200).value(), -1);
    EXPECT_EQ(MediaTime::fromSeconds(1.0 / 3).value(), 200);
    EXPECT_EQ(MediaTime::fromSeconds(0.25, 44100), MediaTime(11025, 44100));
    EXPECT_DOUBLE_EQ(MediaTime(1, 30).seconds(), 1.0 / 30);
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity(), 1e17}) {
        EXPECT_THROW(MediaTime::fromSeconds(bad), std::invalid_argument) << bad;
    }
}

TEST(MediaTime, ArithmeticStaysExact) {
    MediaTime sum = MediaTime(1, 30) + MediaTime(1, 600);
    EXPECT_EQ(sum, MediaTime(21, 600));
    EXPECT_EQ(sum.timescale(), 600);
    EXPECT_EQ(MediaTime(1, 3) + MediaTime(1, 7), MediaTime(10, 21));
    EXPECT_EQ(MediaTime(1, 30) - MediaTime(1, 600), MediaTime(19, 600));
    EXPECT_EQ(-MediaTime(5, 600), MediaTime(-5, 600));
    MediaTime t = MediaTime::zero();
    for (int i = 0; i < 30; ++i) {
        t += MediaTime(1, 30);
    }
    EXPECT_EQ(t, MediaTime(1, 1));
    // Timescales without a 32-bit common multiple fall back to the larger one.
    MediaTime mixed = MediaTime(1, 1000003) + MediaTime(1, 999983);
    EXPECT_EQ(mixed.timescale(), 1000003);
    EXPECT_EQ(mixed.value(), 2);
    EXPECT_THROW(MediaTime(std::numeric_limits<std::int64_t>::max(), 1) + MediaTime(1, 1),
                 std::overflow_error);
}

TEST(MediaTime, ConvertsAndScalesWithRounding) {
    EXPECT_EQ(MediaTime(1, 30).convertScale(600).value(), 20);
    EXPECT_EQ(MediaTime(1, 30).convertScale(44100).value(), 1470);
    EXPECT_EQ(MediaTime(1, 7).convertScale(600).value(), 86);     // 85.71
    EXPECT_EQ(MediaTime(-1, 1200).convertScale(600).value(), -1); // -0.5
    EXPECT_EQ(MediaTime(8, 600).multipliedByRatio(1, 2), MediaTime(4, 600));
    EXPECT_EQ(MediaTime(2400, 600).multipliedByRatio(2, 1), MediaTime(8, 1));
    EXPECT_THROW(MediaTime(1, 600).multipliedByRatio(1, 0), std::invalid_argument);
}

TEST(MediaTimeRange, IsHalfOpen) {
    MediaTimeRange range{MediaTime(1, 1), MediaTime(1, 2)};
    EXPECT_EQ(range.end(), MediaTime(3, 2));
    EXPECT_TRUE(range.containsTime(MediaTime(600, 600)));
    EXPECT_TRUE(range.containsTime(MediaTime(44, 30)));
    EXPECT_FALSE(range.containsTime(MediaTime(45, 30)));
    EXPECT_FALSE(range.containsTime(MediaTime(29, 30)));
    EXPECT_FALSE(range.isEmpty());
    EXPECT_TRUE((MediaTimeRange{MediaTime(1, 1), MediaTime::zero()}).isEmpty());
}
