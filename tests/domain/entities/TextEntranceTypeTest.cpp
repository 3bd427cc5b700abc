#include "domain/entities/TextEntranceType.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(TextEntranceType, AlwaysEncodedAsObject) {
    EXPECT_EQ(Json(TextEntranceType::slideIn(Direction::left)).dump(),
              R"({"type":"slideIn","direction":"left"})");
    EXPECT_EQ(Json(TextEntranceType::fadeIn()).dump(), R"({"type":"fadeIn"})");
    for (const auto& type :
         {TextEntranceType::slideIn(Direction::up), TextEntranceType::wipeReveal(Direction::right),
          TextEntranceType::scaleIn(), TextEntranceType::popIn(), TextEntranceType::bounceIn(),
          TextEntranceType::fadeIn()}) {
        EXPECT_EQ(Json(type).get<TextEntranceType>(), type) << Json(type).dump();
    }
    EXPECT_NE(TextEntranceType::slideIn(Direction::up), TextEntranceType::slideIn(Direction::down));
    EXPECT_NE(TextEntranceType::slideIn(Direction::up),
              TextEntranceType::wipeReveal(Direction::up));
}

TEST(TextEntranceType, DecodingFailures) {
    EXPECT_EQ(decode<TextEntranceType>(R"({"type": "fadeIn", "direction": "up"})"),
              TextEntranceType::fadeIn());
    EXPECT_EQ(decodeFailure<TextEntranceType>(R"({"type": "slideIn"})")->key(), "direction");
    EXPECT_EQ(
        decodeFailure<TextEntranceType>(R"({"type": "wipeReveal", "direction": "in"})")->kind(),
        DecodeError::Kind::dataCorrupted);
    auto slide = decodeFailure<TextEntranceType>(R"({"type": "slide"})");
    ASSERT_TRUE(slide);
    EXPECT_EQ(slide->key(), "type");
    EXPECT_EQ(slide->description(), "Unknown TextEntranceType: slide");
    EXPECT_EQ(decodeFailure<TextEntranceType>(R"({"type": "fadeOut"})")->description(),
              "Unknown TextEntranceType: fadeOut");
    EXPECT_EQ(decodeFailure<TextEntranceType>("\"fadeIn\"")->kind(),
              DecodeError::Kind::typeMismatch);
}
