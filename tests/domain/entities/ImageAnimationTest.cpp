#include "domain/entities/ImageAnimation.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(ImageAnimation, NestsTheMotionUnderType) {
    ImageAnimation animation{ImageAnimationType::pan(Direction::right, 0.3), EasingCurve::easeOut};
    EXPECT_EQ(Json(animation).dump(),
              R"({"type":{"type":"pan","direction":"right","distance":0.3},"easing":"easeOut"})");
    EXPECT_EQ(Json(animation).get<ImageAnimation>(), animation);
    EXPECT_NE(animation, (ImageAnimation{ImageAnimationType::pan(Direction::right, 0.3),
                                         EasingCurve::linear}));
}

TEST(ImageAnimation, BothMembersAreRequired) {
    auto easing = decodeFailure<ImageAnimation>(R"({"type": {"type": "shake", "intensity": 0.5}})");
    ASSERT_TRUE(easing);
    EXPECT_EQ(easing->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(easing->key(), "easing");
    EXPECT_EQ(decodeFailure<ImageAnimation>(R"({"easing": "linear"})")->key(), "type");
    EXPECT_EQ(
        decodeFailure<ImageAnimation>(R"({"type": "shake", "intensity": 0.5, "easing": "linear"})")
            ->kind(),
        DecodeError::Kind::typeMismatch);
    EXPECT_EQ(
        decode<ImageAnimation>(R"({"easing": "easeIn", "type": {"type": "zoomOut", "factor": 2}})"),
        (ImageAnimation{ImageAnimationType::zoomOut(2), EasingCurve::easeIn}));
}
