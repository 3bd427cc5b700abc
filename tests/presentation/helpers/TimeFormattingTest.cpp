#include "presentation/helpers/TimeFormatting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using vexel::TimeFormatting;

TEST(TimeFormattingTest, CountsWholeSecondsInBothForms) {
    struct Case {
        double seconds;
        std::string compact;
        std::string standard;
    };
    const std::vector<Case> cases{
        {0, "0s", "0:00"},       {5, "5s", "0:05"},        {59.9, "59s", "0:59"},
        {59.99, "59s", "0:59"},  {60, "1:00", "1:00"},     {65.4, "1:05", "1:05"},
        {125.7, "2:05", "2:05"}, {3599, "59:59", "59:59"}, {3600, "60:00", "60:00"},
        {-5.5, "-5s", "0:-5"},   {-65, "-65s", "-1:-5"},   {std::nan(""), "0s", "0:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeFormatting::compact(c.seconds), c.compact) << c.seconds;
        EXPECT_EQ(TimeFormatting::standard(c.seconds), c.standard) << c.seconds;
    }
    // Far out of range is still text, not undefined behaviour.
    EXPECT_FALSE(TimeFormatting::standard(std::numeric_limits<double>::infinity()).empty());
    EXPECT_FALSE(TimeFormatting::compact(-1e300).empty());
}
