#include "domain/entities/OverlayTransform.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(OverlayTransform, DecodingClampsEveryMember) {
    EXPECT_EQ(decode<OverlayTransform>(R"({"x": 1.5, "y": -0.2, "scale": 9})"),
              (OverlayTransform{1.0, 0.0, 5.0}));
    EXPECT_EQ(decode<OverlayTransform>(R"({"x": 0.5, "y": 0.5, "scale": 0.01})"),
              (OverlayTransform{0.5, 0.5, 0.1}));
    EXPECT_EQ(decode<OverlayTransform>(R"({"scale": 2, "y": 0.3, "x": 0.7})"),
              (OverlayTransform{0.7, 0.3, 2}));
    auto missing = decodeFailure<OverlayTransform>(R"({"x": 0.5, "y": 0.5})");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(missing->key(), "scale");
    EXPECT_EQ(decodeFailure<OverlayTransform>(R"({"x": "left", "y": 0.5, "scale": 1})")->kind(),
              DecodeError::Kind::typeMismatch);
}

TEST(OverlayTransform, ClampedSendsNaNToTheLowerBound) {
    OverlayTransform odd{std::nan(""), 3, std::nan("")};
    EXPECT_EQ(odd.clamped(), (OverlayTransform{0, 1, 0.1}));
    EXPECT_EQ((OverlayTransform{0.2, 0.8, 4.9}.clamped()), (OverlayTransform{0.2, 0.8, 4.9}));
    EXPECT_EQ(OverlayTransform{}, (OverlayTransform{0.5, 0.5, 1.0}));
}

TEST(OverlayTransform, EncodesStoredValuesInOrder) {
    OverlayTransform transform{0.25, 0.75, 1.5};
    EXPECT_EQ(Json(transform).dump(), R"({"x":0.25,"y":0.75,"scale":1.5})");
    EXPECT_EQ(Json(transform).get<OverlayTransform>(), transform);
}
