#include "domain/entities/TextLoopType.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TextLoopType, CasesCarryTheirOwnParameters) {
    TextLoopType pulse = TextLoopType::pulse(1.2, 0.8);
    EXPECT_EQ(pulse.kind(), TextLoopType::Kind::pulse);
    EXPECT_EQ(pulse.interval(), 0.8);
    ASSERT_NE(pulse.getIf<TextLoopType::Pulse>(), nullptr);
    EXPECT_EQ(pulse.getIf<TextLoopType::Pulse>()->scale, 1.2);
    EXPECT_EQ(pulse.getIf<TextLoopType::Bounce>(), nullptr);
    EXPECT_EQ(TextLoopType::bounce(0.3, 2).interval(), 2);
    // Same numbers, different case.
    EXPECT_NE(TextLoopType::pulse(0.3, 2), TextLoopType::bounce(0.3, 2));
}

TEST(TextLoopType, EncodedForm) {
    EXPECT_EQ(Json(TextLoopType::pulse(1.2, 1)).dump(),
              R"({"type":"pulse","scale":1.2,"interval":1.0})");
    EXPECT_EQ(Json(TextLoopType::bounce(0.25, 2)).dump(),
              R"({"type":"bounce","amplitude":0.25,"interval":2.0})");
    EXPECT_EQ(decode<TextLoopType>(R"({"type": "bounce", "amplitude": -9, "interval": 0})"),
              TextLoopType::bounce(-9, 0));
    EXPECT_EQ(decodeFailure<TextLoopType>(R"({"type": "pulse", "interval": 1})")->key(), "scale");
    EXPECT_EQ(
        decodeFailure<TextLoopType>(R"({"type": "bounce", "scale": 1, "interval": 1})")->key(),
        "amplitude");
    auto entrance = decodeFailure<TextLoopType>(R"({"type": "bounceIn"})");
    ASSERT_TRUE(entrance);
    EXPECT_EQ(entrance->key(), "type");
    EXPECT_EQ(entrance->description(), "Unknown TextLoopType: bounceIn");
}
