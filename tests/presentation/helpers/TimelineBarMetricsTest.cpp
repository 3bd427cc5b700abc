#include "presentation/helpers/TimelineBarMetrics.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using vexel::TimelineBarMetrics;
using Edge = TimelineBarMetrics::ClipEdge;

TEST(TimelineBarMetricsTest, EdgesWithinEightPixelsAndTheNearerHalfOnANarrowBar) {
    struct Case {
        double x;
        double width;
        std::optional<Edge> expected;
    };
    const std::vector<Case> cases{
        {2, 4, Edge::left},      {2.1, 4, Edge::right},  {0, 4, Edge::left},
        {-3, 100, Edge::left},   {8, 100, Edge::left},   {8.1, 100, std::nullopt},
        {50, 100, std::nullopt}, {92, 100, Edge::right}, {93, 100, Edge::right},
        {140, 100, Edge::right}, {8, 16, Edge::left},    {8.5, 16, Edge::right},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimelineBarMetrics::detectEdge(c.x, c.width, 8), c.expected)
            << "x " << c.x << " on " << c.width;
    }
}
