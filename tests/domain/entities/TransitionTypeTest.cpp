#include "domain/entities/TransitionType.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TransitionType, EqualityComparesCaseAndDirection) {
    EXPECT_NE(TransitionType::push(Direction::left), TransitionType::push(Direction::right));
    EXPECT_EQ(TransitionType::push(Direction::left), TransitionType::push(Direction::left));
    EXPECT_NE(TransitionType::push(Direction::left), TransitionType::wipe(Direction::left));
    EXPECT_NE(TransitionType::fade(), TransitionType::crossDissolve());
    EXPECT_EQ(TransitionType(), TransitionType::fade());
    EXPECT_EQ(TransitionType::slide(Direction::up).direction(), Direction::up);
    EXPECT_FALSE(TransitionType::spin().direction().has_value());
}

TEST(TransitionType, EncodesPayloadlessCasesAsStringsAndDirectionalOnesAsObjects) {
    EXPECT_EQ(Json(TransitionType::crossDissolve()).dump(), "\"crossDissolve\"");
    EXPECT_EQ(Json(TransitionType::slide(Direction::down)).dump(),
              R"({"type":"slide","direction":"down"})");
    for (auto type :
         {TransitionType::push(Direction::left), TransitionType::wipe(Direction::up),
          TransitionType::slide(Direction::right), TransitionType::fade(),
          TransitionType::crossDissolve(), TransitionType::spin(), TransitionType::flip(),
          TransitionType::zoomIn(), TransitionType::zoomOut()}) {
        EXPECT_EQ(Json(type).get<TransitionType>(), type) << Json(type).dump();
    }
}

TEST(TransitionType, DecodingFallsBackToFadeForUnknownNames) {
    EXPECT_EQ(decode<TransitionType>("\"zoomOut\""), TransitionType::zoomOut());
    EXPECT_EQ(decode<TransitionType>("\"push\""), TransitionType::fade());
    EXPECT_EQ(decode<TransitionType>("\"dissolve\""), TransitionType::fade());
    EXPECT_EQ(decode<TransitionType>("\"Spin\""), TransitionType::fade());
    EXPECT_EQ(decode<TransitionType>(R"({"type": "wipe", "direction": "up"})"),
              TransitionType::wipe(Direction::up));
    EXPECT_EQ(decode<TransitionType>(R"({"type": "slideIn", "direction": "up"})"),
              TransitionType::fade());
    EXPECT_EQ(decode<TransitionType>(R"({"type": "spin", "direction": "up"})"),
              TransitionType::spin());

    auto missing = decodeFailure<TransitionType>(R"({"type": "wipe"})");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(missing->key(), "direction");
    auto badDirection = decodeFailure<TransitionType>(R"({"type": "push", "direction": "Left"})");
    ASSERT_TRUE(badDirection);
    EXPECT_EQ(badDirection->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(badDirection->key(), "direction");
    EXPECT_EQ(decodeFailure<TransitionType>(R"({"direction": "up"})")->key(), "type");
    EXPECT_EQ(decodeFailure<TransitionType>("3")->kind(), DecodeError::Kind::typeMismatch);
    EXPECT_EQ(decodeFailure<TransitionType>("null")->kind(), DecodeError::Kind::valueNotFound);
}
