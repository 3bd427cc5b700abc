#include "presentation/helpers/ClipBarRules.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using Edge = TimelineBarMetrics::ClipEdge;
using Trim = ClipBarRules::TrimResult;

namespace {

TEST(ClipBarRulesTest, MovesAreSnappedThenKeptInsideTheAxis) {
    // 10 px a second.
    const ClipBarFrame clip{.start = 10, .duration = 5, .maxDuration = 100, .totalWidth = 1000};
    const std::vector<double> points{30, 99};
    struct Case {
        std::string name;
        ClipBarFrame frame;
        double dx;
        ClipBarRules::MoveSnapResult live;
        double released;
    };
    const std::vector<Case> cases{
        {"plain move", clip, 55, {55, std::nullopt}, 15.5},
        {"held at a neighbour 3 px away", clip, 197, {200, 30}, 30},
        {"past the end: the end stays on the axis, the snap point stays", clip, 892, {850, 99}, 95},
        {"before the start", clip, -300, {-100, std::nullopt}, 0},
        {"longer than the axis: always 0",
         {.start = 0, .duration = 120, .maxDuration = 100, .totalWidth = 1000},
         400,
         {0, std::nullopt},
         0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClipBarRules::handleMoveWithSnap(c.frame, points, c.dx), c.live) << c.name;
        EXPECT_DOUBLE_EQ(ClipBarRules::releasedMoveStart(c.frame, points, c.dx), c.released)
            << c.name;
    }
}

TEST(ClipBarRulesTest, TrimsKeepTheStartAndStopAtTheNextClip) {
    const ClipBarFrame clip{.start = 0, .duration = 4, .maxDuration = 100, .totalWidth = 1000};
    struct Case {
        std::string name;
        ClipBarFrame frame;
        ClipBarRules::TrimSource source;
        Edge edge;
        double dx;
        std::optional<double> next;
        Trim expected;
    };
    const std::vector<Case> cases{
        {"right edge grows", clip, {1, 1}, Edge::right, 20, std::nullopt, {1, 6}},
        {"right edge released where it began", clip, {1, 1}, Edge::right, 0, std::nullopt, {1, 4}},
        {"right edge capped at the axis's end",
         {.start = 90, .duration = 5, .maxDuration = 100, .totalWidth = 1000},
         {0, 1},
         Edge::right,
         200,
         std::nullopt,
         {0, 10}},
        {"right edge stops at the next clip", clip, {0, 1}, Edge::right, 30, 5.0, {0, 5}},
        {"right edge shrinks past the next clip's limit freely",
         clip,
         {0, 1},
         Edge::right,
         -20,
         5.0,
         {0, 2}},
        {"right edge keeps 0.1 s", clip, {0, 1}, Edge::right, -100, std::nullopt, {0, 0.1}},
        {"left edge at offset 2 and rate 2 grows by at most 1 s",
         clip,
         {2, 2},
         Edge::left,
         -50,
         std::nullopt,
         {0, 5}},
        {"left edge stops at the next clip", clip, {3, 1}, Edge::left, -30, 5.0, {2, 5}},
        {"left edge shrinks until 0.1 s remain",
         clip,
         {0, 1},
         Edge::left,
         100,
         std::nullopt,
         {3.9, 0.1}},
        {"rate 0, offset 0: the edge cannot move left",
         clip,
         {0, 0},
         Edge::left,
         -20,
         std::nullopt,
         {0, 4}},
        {"an adjoining neighbour: no growth at all", clip, {3, 1}, Edge::left, -30, 4.0, {3, 4}},
        {"a clip under 0.1 s against its neighbour stays clear of it",
         {.start = 0, .duration = 0.05, .maxDuration = 100, .totalWidth = 1000},
         {0, 1},
         Edge::right,
         5,
         0.05,
         {0, 0.05}},
        {"no width: no change",
         {.start = 0, .duration = 4, .maxDuration = 100, .totalWidth = 0},
         {1, 1},
         Edge::left,
         -50,
         std::nullopt,
         {1, 4}},
    };
    for (const Case& c : cases) {
        const Trim trim = ClipBarRules::commitTrim(c.frame, c.source, c.edge, c.dx, c.next);
        EXPECT_NEAR(trim.sourceOffset, c.expected.sourceOffset, 1e-12) << c.name;
        EXPECT_NEAR(trim.duration, c.expected.duration, 1e-12) << c.name;
    }

    // The live bar stops where the report does; shrinking is not held.
    EXPECT_DOUBLE_EQ(ClipBarRules::trimWidthDelta(clip, Edge::right, 30, 5.0), 10);
    EXPECT_DOUBLE_EQ(ClipBarRules::trimWidthDelta(clip, Edge::left, -30, 5.0), 10);
    EXPECT_DOUBLE_EQ(ClipBarRules::trimWidthDelta(clip, Edge::left, 25, 5.0), -25);
    EXPECT_DOUBLE_EQ(ClipBarRules::trimWidthDelta(clip, Edge::right, 300, std::nullopt), 300);
    // The time under the edge, inside the axis only.
    EXPECT_DOUBLE_EQ(ClipBarRules::trimScrubTime(clip, Edge::right, 20), 6);
    EXPECT_DOUBLE_EQ(ClipBarRules::trimScrubTime(clip, Edge::left, -20), 0);
    EXPECT_DOUBLE_EQ(ClipBarRules::trimScrubTime(clip, Edge::right, 5000), 100);
}

TEST(ClipBarRulesTest, TheNextClipIsTheNearestStartAtOrAfterTheEnd) {
    const Clip clip = makeClip(2, 3);
    const Clip before = makeClip(0, 1);
    const Clip overlapping = makeClip(4, 2);
    const Clip far = makeClip(9, 1);
    const Clip adjoining = makeClip(5, 1);
    EXPECT_EQ(ClipBarRules::nextClipStart({far, clip, before, overlapping}, clip.id), 9.0);
    EXPECT_EQ(ClipBarRules::nextClipStart({far, clip, adjoining}, clip.id), 5.0);
    EXPECT_EQ(ClipBarRules::nextClipStart({clip, before}, clip.id), std::nullopt);
    EXPECT_EQ(ClipBarRules::nextClipStart({before}, clip.id), std::nullopt);
}

TEST(ClipBarRulesTest, VerticalMovesStepBetweenListedAudioLanes) {
    const Uuid one = Uuid::random();
    const Uuid two = Uuid::random();
    const Uuid three = Uuid::random();
    const std::vector<Uuid> lanes{one, two, three};
    struct Case {
        std::string name;
        std::vector<Uuid> lanes;
        std::optional<Uuid> current;
        double dy;
        std::optional<Uuid> expected;
    };
    // Lanes 40 px high, 41 px apart.
    const std::vector<Case> cases{
        {"1.5 steps down: two lanes", lanes, one, 61.5, three},
        {"0.4 steps: stays", lanes, one, 16.4, std::nullopt},
        {"0.5 steps up rounds away from zero", lanes, three, -20.5, two},
        {"past the last lane", lanes, two, 90, std::nullopt},
        {"above the first lane", lanes, one, -41, std::nullopt},
        {"not an audio lane", lanes, Uuid::random(), 41, std::nullopt},
        {"no current lane", lanes, std::nullopt, 41, std::nullopt},
        {"no audio lanes", {}, one, 41, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClipBarRules::resolveTargetAudioTrack(c.lanes, c.current, 40, c.dy), c.expected)
            << c.name;
    }
}

} // namespace
