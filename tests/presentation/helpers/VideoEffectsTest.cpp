#include "presentation/helpers/VideoEffects.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::makeClip;

TEST(VideoEffectsTest, TakesTheFirstClipHoldingTheTimeAndLeavesOutNeutralEffects) {
    Clip first = makeClip(0, 5);
    first.colorAdjust = ColorAdjust{0.2, 1, 1};
    Clip second = makeClip(5, 3);
    second.filter = FilterPreset{"sepia", 0.5};
    const std::vector<Clip> clips{first, second};

    // A clip's end does not hold the time; its start does.
    EXPECT_EQ(VideoEffects::active(5, clips), (VideoEffects{std::nullopt, second.filter}));
    EXPECT_EQ(VideoEffects::active(4.999, clips), (VideoEffects{first.colorAdjust, std::nullopt}));
    EXPECT_EQ(VideoEffects::active(8, clips), std::nullopt);
    EXPECT_EQ(VideoEffects::active(-1, clips), std::nullopt);

    Clip plain = makeClip(0, 5);
    plain.colorAdjust = ColorAdjust{0, 1, 1};
    plain.filter = FilterPreset{"none", 1};
    EXPECT_EQ(VideoEffects::active(1, {plain}), std::nullopt);
    plain.filter = FilterPreset{"", 1};
    EXPECT_EQ(VideoEffects::active(1, {plain}), std::nullopt);
    plain.colorAdjust->contrast = 1.2;
    EXPECT_EQ(VideoEffects::active(1, {plain}), (VideoEffects{plain.colorAdjust, std::nullopt}));
    // Within 1e-9 of neutral is neutral.
    plain.colorAdjust = ColorAdjust{1e-10, 1 - 1e-10, 1};
    EXPECT_EQ(VideoEffects::active(1, {plain}), std::nullopt);
}
