#include "presentation/helpers/TimelineLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vexel::TimelineLayout;

TEST(TimelineLayoutTest, LanesShareTheHeightDownToTwentyEightPixelsThenScroll) {
    struct Case {
        std::string name;
        double width;
        double height;
        int lanes;
        double zoom;
        TimelineLayout expected;
    };
    const std::vector<Case> cases{
        {"a new project's six lanes", 640, 218, 6, 1, {32.5, 200, false, 600}},
        {"seven lanes in 200 px", 640, 200, 7, 1, {28, 202, true, 600}},
        {"exactly 28 px lanes do not scroll", 640, 18 + 3 * 28 + 2, 3, 1, {28, 86, false, 600}},
        {"no lanes", 640, 118, 0, 1, {100, 100, false, 600}},
        {"no lanes below the floor", 640, 30, 0, 1, {28, 0, true, 600}},
        {"zoom widens the content only", 640, 218, 6, 10, {32.5, 200, false, 6000}},
        {"40 px or less is no content width", 40, 218, 6, 10, {32.5, 200, false, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimelineLayout::make(c.width, c.height, c.lanes, c.zoom), c.expected) << c.name;
    }
}
