#include "domain/entities/AudioEffect.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(AudioEffect, WrapsTheTypeUnderAnOuterTypeMember) {
    AudioEffect compressor =
        decode<AudioEffect>(R"({"type": {"type": "compressor", "threshold": -20, "ratio": 4}})");
    EXPECT_EQ(compressor, AudioEffect{AudioEffectType::compressor(-20, 4)});
    EXPECT_EQ(Json(compressor).dump(),
              R"({"type":{"type":"compressor","threshold":-20.0,"ratio":4.0}})");
    EXPECT_NE(compressor, AudioEffect{AudioEffectType::compressor(-20, 2)});
}

TEST(AudioEffect, TheOuterTypeMustBeAnObject) {
    auto bare = decodeFailure<AudioEffect>(R"({"type": "pan", "balance": 0})");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->kind(), DecodeError::Kind::typeMismatch);
    EXPECT_EQ(bare->key(), "type");
    EXPECT_EQ(
        decodeFailure<AudioEffect>(R"({"type": {"type": "Pan", "balance": 0}})")->description(),
        "Unknown AudioEffectType: Pan");
    EXPECT_EQ(decodeFailure<AudioEffect>(R"({"type": {"type": "pan"}})")->key(), "balance");
    EXPECT_EQ(decodeFailure<AudioEffect>(R"({"type": null})")->kind(),
              DecodeError::Kind::valueNotFound);
    EXPECT_EQ(decodeFailure<AudioEffect>("[]")->kind(), DecodeError::Kind::typeMismatch);
}
