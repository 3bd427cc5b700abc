#include "presentation/helpers/SnapEngine.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

using Snap = SnapEngine::SnapResult;

TEST(SnapEngineTest, SnapPointsAreTheOtherClipsEdgesInClipOrder) {
    const Clip a = makeClip(5, 3);
    const Clip b = makeClip(0, 2);
    const Clip c = makeClip(5, 1);
    EXPECT_EQ(SnapEngine::snapPoints({a, b, c}, b.id), (std::vector<double>{5, 8, 5, 6}));
    EXPECT_EQ(SnapEngine::snapPoints({a}, a.id), std::vector<double>{});
    EXPECT_EQ(SnapEngine::snapPoints({}, a.id), std::vector<double>{});
}

TEST(SnapEngineTest, CatchesTheNearestEdgeWithinFivePixels) {
    // 1000 px over 100 s: 10 px a second, so 5 px reach 0.5 s.
    struct Case {
        std::string name;
        ClipBarFrame frame;
        std::vector<double> points;
        double dx;
        Snap expected;
    };
    const ClipBarFrame tenSeconds{
        .start = 10, .duration = 5, .maxDuration = 100, .totalWidth = 1000};
    const std::vector<Case> cases{
        {"start 0.4 s from a point snaps", tenSeconds, {20.4}, 100, {20.4, 20.4}},
        {"start 0.6 s from a point does not", tenSeconds, {20.6}, 100, {20, std::nullopt}},
        {"end 0.4 s from a point snaps the end", tenSeconds, {25.4}, 100, {20.4, 25.4}},
        {"the strictly nearer end wins", tenSeconds, {19.75, 25.125}, 100, {20.125, 25.125}},
        {"a tie goes to the start", tenSeconds, {19.75, 25.25}, 100, {19.75, 19.75}},
        {"a tie on one point goes to its start test", {0, 1, 100, 1000}, {0.5}, 0, {0.5, 0.5}},
        {"a repeated point acts as one", tenSeconds, {20.3, 20.3}, 100, {20.3, 20.3}},
        {"a snap below 0 gives 0 and keeps the point",
         {.start = 2, .duration = 5, .maxDuration = 100, .totalWidth = 1000},
         {4.9},
         -18,
         {0, 4.9}},
        {"a raw start below 0 is raised to 0", tenSeconds, {}, -500, {0, std::nullopt}},
        {"no points: the raw start", tenSeconds, {}, 15, {11.5, std::nullopt}},
        {"an axis of no length never snaps", {0, 1, 0, 1000}, {0.001}, 0, {0, std::nullopt}},
        {"no width: no movement and no snap", {3, 1, 100, 0}, {3.1}, 500, {3, std::nullopt}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SnapEngine::computeSnappedStart(c.frame, c.points, c.dx), c.expected) << c.name;
    }
}

} // namespace
