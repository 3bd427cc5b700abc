#include "domain/entities/TransitionEffect.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TransitionEffect, EasingIsOptionalOnDecodeButAlwaysWritten) {
    TransitionEffect decoded = decode<TransitionEffect>(R"({"duration": 0.5, "type": "fade"})");
    EXPECT_EQ(decoded, (TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear}));
    EXPECT_EQ(Json(decoded).dump(), R"({"duration":0.5,"type":"fade","easing":"linear"})");
    EXPECT_EQ(decode<TransitionEffect>(R"({"duration": 1, "type": "fade", "easing": null})").easing,
              EasingCurve::linear);

    TransitionEffect push{2, TransitionType::push(Direction::left), EasingCurve::easeInOut};
    EXPECT_EQ(Json(push).dump(),
              R"({"duration":2.0,"type":{"type":"push","direction":"left"},"easing":"easeInOut"})");
    EXPECT_EQ(Json(push).get<TransitionEffect>(), push);

    EXPECT_EQ(decode<TransitionEffect>(R"({"duration": -3, "type": "spin"})").duration, -3);
    EXPECT_EQ(decode<TransitionEffect>(R"({"duration": 1e6, "type": "spin"})").duration, 1e6);
}

TEST(TransitionEffect, DecodingFailures) {
    auto easing =
        decodeFailure<TransitionEffect>(R"({"duration": 0.5, "type": "fade", "easing": "EaseIn"})");
    ASSERT_TRUE(easing);
    EXPECT_EQ(easing->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(easing->key(), "easing");
    EXPECT_EQ(decodeFailure<TransitionEffect>(R"({"type": "fade"})")->key(), "duration");
    EXPECT_EQ(decodeFailure<TransitionEffect>(R"({"duration": 1})")->kind(),
              DecodeError::Kind::keyNotFound);
    auto nullType = decodeFailure<TransitionEffect>(R"({"duration": 1, "type": null})");
    ASSERT_TRUE(nullType);
    EXPECT_EQ(nullType->kind(), DecodeError::Kind::valueNotFound);
    EXPECT_EQ(nullType->key(), "type");
    EXPECT_EQ(decodeFailure<TransitionEffect>(R"({"duration": true, "type": "fade"})")->kind(),
              DecodeError::Kind::typeMismatch);
}
