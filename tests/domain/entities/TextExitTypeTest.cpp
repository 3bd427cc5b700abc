#include "domain/entities/TextExitType.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TextExitType, AlwaysEncodedAsObject) {
    EXPECT_EQ(Json(TextExitType::wipeOut(Direction::down)).dump(),
              R"({"type":"wipeOut","direction":"down"})");
    EXPECT_EQ(Json(TextExitType::fadeOut()).dump(), R"({"type":"fadeOut"})");
    for (const auto& type :
         {TextExitType::slideOut(Direction::left), TextExitType::wipeOut(Direction::up),
          TextExitType::scaleOut(), TextExitType::fadeOut(), TextExitType::popOut(),
          TextExitType::bounceOut()}) {
        EXPECT_EQ(Json(type).get<TextExitType>(), type) << Json(type).dump();
    }
}

TEST(TextExitType, DecodingFailures) {
    EXPECT_EQ(decode<TextExitType>(R"({"type": "popOut", "direction": 5})"),
              TextExitType::popOut());
    EXPECT_EQ(decodeFailure<TextExitType>(R"({"type": "wipeOut"})")->key(), "direction");
    auto entrance = decodeFailure<TextExitType>(R"({"type": "bounceIn"})");
    ASSERT_TRUE(entrance);
    EXPECT_EQ(entrance->key(), "type");
    EXPECT_EQ(entrance->description(), "Unknown TextExitType: bounceIn");
    EXPECT_EQ(decodeFailure<TextExitType>(R"({})")->kind(), DecodeError::Kind::keyNotFound);
}
