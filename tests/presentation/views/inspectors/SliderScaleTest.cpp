#include "presentation/views/inspectors/SliderScale.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;

TEST(SliderScaleTest, PositionsStandForWholeStepsAndValuesShowAtTheNearest) {
    const SliderScale tenths(0.1, 5.0, 0.1);
    EXPECT_EQ(tenths.lastPosition(), 49);
    // Whole steps, not sums of steps: 0.1 + 2 x 0.1 would be 0.30000000000000004.
    EXPECT_EQ(tenths.value(2), 0.3);
    EXPECT_EQ(tenths.value(0), 0.1);
    EXPECT_EQ(tenths.value(49), 5.0);
    EXPECT_EQ(tenths.value(60), 5.0);

    const SliderScale quarters(0.25, 4, 0.25);
    EXPECT_EQ(quarters.lastPosition(), 15);
    EXPECT_EQ(quarters.value(5), 1.5);
    EXPECT_EQ(quarters.position(0.3), 0) << "off the grid: the nearest position";
    EXPECT_EQ(quarters.position(1.5), 5);

    const SliderScale signedTwentieths(-1, 1, 0.05);
    EXPECT_EQ(signedTwentieths.lastPosition(), 40);
    EXPECT_EQ(signedTwentieths.value(10), -0.5);
    EXPECT_EQ(signedTwentieths.value(20), 0.0);
    EXPECT_EQ(signedTwentieths.value(23), 0.15);
    EXPECT_EQ(signedTwentieths.position(0.15), 23);

    // Outside the range the knob rests at an end.
    EXPECT_EQ(tenths.position(0), 0);
    EXPECT_EQ(tenths.position(8), 49);
    EXPECT_EQ(tenths.position(std::numeric_limits<double>::infinity()), 49);
    EXPECT_EQ(tenths.position(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(tenths.position(std::numeric_limits<double>::quiet_NaN()), 0);
}
