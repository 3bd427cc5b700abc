#include "presentation/helpers/RulerTicks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vexel::RulerTicks;

TEST(RulerTicksTest, IntervalsKeepTicksFortyEightPixelsApart) {
    struct Case {
        double duration;
        double width;
        double interval;
    };
    const std::vector<Case> cases{
        {60, 600, 5},  {3600, 1000, 300}, {3600, 100, 300}, {60, 0, 10},     {0, 600, 10},
        {-5, 600, 10}, {10, 480, 1},      {10, 479, 2},     {600, 1000, 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RulerTicks::computeInterval(c.duration, c.width), c.interval)
            << c.duration << " s over " << c.width;
    }
}

TEST(RulerTicksTest, MajorTicksEveryFifthAreLabelledInMinutesAndSeconds) {
    std::vector<std::string> labels;
    std::vector<double> majorX;
    const std::vector<RulerTicks::Tick> ticks = RulerTicks::ticks(60, 600, 0);
    for (const RulerTicks::Tick& tick : ticks) {
        if (tick.major) {
            labels.push_back(tick.label);
            majorX.push_back(tick.x);
        } else {
            EXPECT_TRUE(tick.label.empty());
        }
    }
    EXPECT_EQ(ticks.size(), 13u); // 0, 5, ..., 60
    EXPECT_EQ(labels, (std::vector<std::string>{"0:00", "0:25", "0:50"}));
    EXPECT_EQ(majorX, (std::vector<double>{0, 250, 500}));

    // One major tick at 0 for an empty span; minutes are not folded into hours.
    const std::vector<RulerTicks::Tick> empty = RulerTicks::ticks(0, 600, 0);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].label, "0:00");
    EXPECT_EQ(RulerTicks::ticks(3600, 5000, 0).back().label, "60:00");
    EXPECT_EQ(RulerTicks::ticks(60, 600, 7).front().x, 7);
    EXPECT_TRUE(RulerTicks::ticks(-1, 600, 0).empty());
}
