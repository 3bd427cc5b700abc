#include "domain/entities/ImageAnimationType.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(ImageAnimationType, EncodesOneFlatObjectInMemberOrder) {
    EXPECT_EQ(Json(ImageAnimationType::pan(Direction::up, 0.3)).dump(),
              R"({"type":"pan","direction":"up","distance":0.3})");
    EXPECT_EQ(Json(ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.25, 0.5, 0.5, 0.5})).dump(),
              R"({"type":"kenBurns","from":{"x":0.0,"y":0.0,"width":1.0,"height":1.0},)"
              R"("to":{"x":0.25,"y":0.5,"width":0.5,"height":0.5}})");
    for (const auto& type : {ImageAnimationType::kenBurns({0.1, 0.1, 0.8, 0.8}, {0, 0, 1, 1}),
                             ImageAnimationType::zoomIn(1.5), ImageAnimationType::zoomOut(2),
                             ImageAnimationType::pan(Direction::down, 0.1),
                             ImageAnimationType::shake(0.4), ImageAnimationType::rotate(-450)}) {
        EXPECT_EQ(Json(type).get<ImageAnimationType>(), type) << Json(type).dump();
    }
}

TEST(ImageAnimationType, DecodingReadsOnlyTheMatchedCase) {
    EXPECT_EQ(decode<ImageAnimationType>(R"({"type": "zoomIn", "factor": 1.5, "degrees": 90})"),
              ImageAnimationType::zoomIn(1.5));
    EXPECT_EQ(decode<ImageAnimationType>(
                  R"({"type": "kenBurns", "from": {"x": 0, "y": 0, "width": 7, "height": 1},)"
                  R"( "to": {"x": -1, "y": 0, "width": 1, "height": 1}})"),
              ImageAnimationType::kenBurns({0, 0, 7, 1}, {-1, 0, 1, 1}));

    auto pan = decodeFailure<ImageAnimationType>(
        R"({"type": "Pan", "direction": "left", "distance": 0.3})");
    ASSERT_TRUE(pan);
    EXPECT_EQ(pan->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(pan->key(), "type");
    EXPECT_EQ(pan->description(), "Unknown ImageAnimationType: Pan");
    EXPECT_EQ(decodeFailure<ImageAnimationType>(R"({"type": "rotate"})")->key(), "degrees");
    EXPECT_EQ(decodeFailure<ImageAnimationType>(
                  R"({"type": "kenBurns", "from": {"x": 0, "y": 0, "width": 1, "height": 1}})")
                  ->key(),
              "to");
    EXPECT_EQ(
        decodeFailure<ImageAnimationType>(R"({"type": "pan", "direction": "west", "distance": 1})")
            ->key(),
        "direction");
}
