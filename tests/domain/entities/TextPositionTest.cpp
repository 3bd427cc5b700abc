#include "domain/entities/TextPosition.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TextPosition, DisplayNamesUseTwoFixedDecimals) {
    EXPECT_EQ(TextPosition::top().displayName(), "top");
    EXPECT_EQ(TextPosition::center().displayName(), "center");
    EXPECT_EQ(TextPosition::bottom().displayName(), "bottom");
    EXPECT_EQ(TextPosition::custom(0.5, 0.25).displayName(), "custom(0.50, 0.25)");
    EXPECT_EQ(TextPosition::custom(0, 0).displayName(), "custom(0.00, 0.00)");
    EXPECT_EQ(TextPosition::custom(1.999, -1).displayName(), "custom(2.00, -1.00)");
    EXPECT_EQ(TextPosition::custom(0.125, -0.001).displayName(), "custom(0.12, -0.00)");
}

TEST(TextPosition, DefaultIsBottomAndEqualityComparesCaseAndPoint) {
    EXPECT_EQ(TextPosition(), TextPosition::bottom());
    EXPECT_NE(TextPosition::top(), TextPosition::custom(0, 0));
    EXPECT_NE(TextPosition::top(), TextPosition::center());
    EXPECT_EQ(TextPosition::custom(0.3, 0.4), TextPosition::custom(0.3, 0.4));
    EXPECT_NE(TextPosition::custom(0.3, 0.4), TextPosition::custom(0.3, 0.41));
    EXPECT_EQ(TextPosition::custom(5, -7).x(), 5); // not clamped
}

TEST(TextPosition, EncodesPresetsAsStringsAndCustomAsObject) {
    EXPECT_EQ(Json(TextPosition::top()).dump(), "\"top\"");
    EXPECT_EQ(Json(TextPosition::custom(0.25, 0.75)).dump(),
              R"({"type":"custom","x":0.25,"y":0.75})");
    EXPECT_EQ(decode<TextPosition>("\"bottom\""), TextPosition::bottom());
    EXPECT_EQ(decode<TextPosition>(R"({"type": "bottom"})"), TextPosition::bottom());
    EXPECT_EQ(decode<TextPosition>(R"({"type": "center", "x": 9})"), TextPosition::center());
    EXPECT_EQ(decode<TextPosition>(R"({"type": "custom", "x": 2.0, "y": -1.0})"),
              TextPosition::custom(2.0, -1.0));
}

TEST(TextPosition, DecodingFailures) {
    const std::string range = "custom x/y must be finite and in range [-1.0, 2.0]";
    auto y = decodeFailure<TextPosition>(R"({"type": "custom", "x": 0.5, "y": 2.5})");
    ASSERT_TRUE(y);
    EXPECT_EQ(y->key(), "x");
    EXPECT_EQ(y->description(), range);
    EXPECT_EQ(
        decodeFailure<TextPosition>(R"({"type": "custom", "x": -1.01, "y": 0})")->description(),
        range);
    EXPECT_EQ(decodeFailure<TextPosition>(R"({"type": "custom", "x": 0.5})")->kind(),
              DecodeError::Kind::keyNotFound);

    auto type = decodeFailure<TextPosition>(R"({"type": "middle"})");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->key(), "type");
    EXPECT_EQ(type->description(), "Unknown TextPosition type: middle");

    auto bare = decodeFailure<TextPosition>("\"middle\"");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->key(), "");
    EXPECT_EQ(bare->description(), "Unknown TextPosition string: middle");
    EXPECT_EQ(decodeFailure<TextPosition>("\"custom\"")->description(),
              "Unknown TextPosition string: custom");
    EXPECT_EQ(decodeFailure<TextPosition>("\"Top\"")->description(),
              "Unknown TextPosition string: Top");

    EXPECT_EQ(decodeFailure<TextPosition>(R"({"x": 0.5, "y": 0.5})")->kind(),
              DecodeError::Kind::typeMismatch);
    EXPECT_EQ(decodeFailure<TextPosition>(R"({"type": 3})")->kind(),
              DecodeError::Kind::typeMismatch);

    // Coordinates that no JSON text can hold still fail the range check.
    Json infinite = {{"type", "custom"}, {"x", 0.5}, {"y", INFINITY}};
    EXPECT_THROW(infinite.get<TextPosition>(), DecodeError);
}
