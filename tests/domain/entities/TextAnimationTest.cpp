#include "domain/entities/TextAnimation.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TextAnimation, AnAnimationWithNoPartsRoundTrips) {
    TextAnimation animation =
        decode<TextAnimation>(R"({"entranceEasing": "easeOut", "exitEasing": "easeIn"})");
    EXPECT_FALSE(animation.entrance || animation.exit || animation.loop);
    EXPECT_EQ(animation.entranceEasing, EasingCurve::easeOut);
    EXPECT_EQ(animation.exitEasing, EasingCurve::easeIn);
    EXPECT_EQ(Json(animation).dump(), R"({"entranceEasing":"easeOut","exitEasing":"easeIn"})");
    EXPECT_FALSE(decode<TextAnimation>(
                     R"({"entrance": null, "entranceEasing": "linear", "exitEasing": "linear"})")
                     .entrance);
}

TEST(TextAnimation, FullAnimationRoundTripsInFieldOrder) {
    TextAnimation animation{TextEntranceType::slideIn(Direction::left), TextExitType::fadeOut(),
                            TextLoopType::pulse(1.1, 0.5), EasingCurve::linear,
                            EasingCurve::easeInOut};
    EXPECT_EQ(Json(animation).dump(),
              R"({"entrance":{"type":"slideIn","direction":"left"},"exit":{"type":"fadeOut"},)"
              R"("loop":{"type":"pulse","scale":1.1,"interval":0.5},)"
              R"("entranceEasing":"linear","exitEasing":"easeInOut"})");
    EXPECT_EQ(Json(animation).get<TextAnimation>(), animation);

    TextAnimation other = animation;
    other.exitEasing = EasingCurve::linear;
    EXPECT_NE(other, animation);
    other = animation;
    other.loop.reset();
    EXPECT_NE(other, animation);
}

TEST(TextAnimation, DecodingFailures) {
    auto exitEasing = decodeFailure<TextAnimation>(R"({"entranceEasing": "linear"})");
    ASSERT_TRUE(exitEasing);
    EXPECT_EQ(exitEasing->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(exitEasing->key(), "exitEasing");
    EXPECT_EQ(
        decodeFailure<TextAnimation>(R"({"entranceEasing": null, "exitEasing": "linear"})")->kind(),
        DecodeError::Kind::valueNotFound);
    EXPECT_EQ(decodeFailure<TextAnimation>(R"({"entranceEasing": "fast", "exitEasing": "linear"})")
                  ->key(),
              "entranceEasing");
    EXPECT_EQ(decodeFailure<TextAnimation>(
                  R"({"entrance": "fadeIn", "entranceEasing": "linear", "exitEasing": "linear"})")
                  ->kind(),
              DecodeError::Kind::typeMismatch);
    EXPECT_EQ(
        decodeFailure<TextAnimation>(
            R"({"loop": {"type": "bounceIn"}, "entranceEasing": "linear", "exitEasing": "linear"})")
            ->description(),
        "Unknown TextLoopType: bounceIn");
}
