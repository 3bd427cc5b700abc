#include "domain/entities/Direction.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(Direction, RawValuesAreExactAndCaseSensitive) {
    EXPECT_EQ(allDirections.size(), 4u);
    EXPECT_EQ(allDirections.front(), Direction::left);
    for (Direction direction : allDirections) {
        EXPECT_EQ(directionFromRaw(rawValue(direction)), direction);
    }
    EXPECT_FALSE(directionFromRaw("Left").has_value());
    EXPECT_FALSE(directionFromRaw("LEFT").has_value());
    EXPECT_FALSE(directionFromRaw("").has_value());
}

TEST(Direction, EncodedAsBareRawString) {
    EXPECT_EQ(Json(Direction::down).dump(), "\"down\"");
    EXPECT_EQ(decode<Direction>("\"up\""), Direction::up);
    EXPECT_EQ(decodeFailure<Direction>("\"Up\"")->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(decodeFailure<Direction>("1")->kind(), DecodeError::Kind::typeMismatch);

    auto error = decodeFailure<Direction>(R"({"direction": "north"})");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), DecodeError::Kind::typeMismatch);
    try {
        readDirection(json::parse(R"({"direction": "north"})"), "direction");
        FAIL();
    } catch (const DecodeError& e) {
        EXPECT_EQ(e.key(), "direction");
        EXPECT_EQ(e.kind(), DecodeError::Kind::dataCorrupted);
    }
}
