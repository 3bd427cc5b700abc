#include "domain/entities/AudioEffectType.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

namespace {

const Uuid trackA = *Uuid::parse("0F8FAD5B-D9CB-469F-A165-70867728950E");
const Uuid trackB = *Uuid::parse("7C9E6679-7425-40DE-944B-E07FC1F90AE7");

} // namespace

TEST(AudioEffectType, KindNamesTheCase) {
    EXPECT_EQ(AudioEffectType::pan(0).kind(), AudioEffectKind::pan);
    EXPECT_EQ(AudioEffectType::pitchShift(2).kind(), AudioEffectKind::pitchShift);
    EXPECT_EQ(AudioEffectType::reverb(0.3).kind(), AudioEffectKind::reverb);
    EXPECT_EQ(AudioEffectType::eq({}).kind(), AudioEffectKind::eq);
    EXPECT_EQ(AudioEffectType::normalize(-14).kind(), AudioEffectKind::normalize);
    EXPECT_EQ(AudioEffectType::compressor(-20, 4).kind(), AudioEffectKind::compressor);
    EXPECT_EQ(AudioEffectType::ducking(trackA, 0.5).kind(), AudioEffectKind::ducking);
    EXPECT_EQ(AudioEffectType::ducking(trackB, 0.9).kind(), AudioEffectKind::ducking);
}

TEST(AudioEffectType, EncodesAFlatObjectPerCase) {
    EXPECT_EQ(Json(AudioEffectType::compressor(-20, 4)).dump(),
              R"({"type":"compressor","threshold":-20.0,"ratio":4.0})");
    EXPECT_EQ(Json(AudioEffectType::ducking(trackA, 0.5)).dump(),
              R"({"type":"ducking","referenceTrackId":"0F8FAD5B-D9CB-469F-A165-70867728950E",)"
              R"("reduction":0.5})");
    EXPECT_EQ(Json(AudioEffectType::eq({{100, 3, 1}})).dump(),
              R"({"type":"eq","bands":[{"frequency":100.0,"gain":3.0,"bandwidth":1.0}]})");
    for (const auto& type :
         {AudioEffectType::pan(-1), AudioEffectType::pitchShift(-12), AudioEffectType::reverb(50),
          AudioEffectType::eq({{60, -3, 2}, {8000, 4, 0.7}}), AudioEffectType::normalize(-16),
          AudioEffectType::compressor(-30, 8), AudioEffectType::ducking(trackB, 0.8)}) {
        EXPECT_EQ(Json(type).get<AudioEffectType>(), type) << Json(type).dump();
    }
}

TEST(AudioEffectType, DecodingReadsOnlyTheMatchedCaseWithoutRangeChecks) {
    EXPECT_EQ(decode<AudioEffectType>(R"({"type": "pan", "balance": 7, "semitones": "x"})"),
              AudioEffectType::pan(7));
    EXPECT_EQ(decode<AudioEffectType>(R"({"type": "eq", "bands": []})"), AudioEffectType::eq({}));
    EXPECT_EQ(
        decode<AudioEffectType>(
            R"({"type": "ducking", "referenceTrackId": "0f8fad5b-d9cb-469f-a165-70867728950e", "reduction": 0.5})"),
        AudioEffectType::ducking(trackA, 0.5));

    auto unknown = decodeFailure<AudioEffectType>(R"({"type": "Pan", "balance": 0})");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(unknown->key(), "type");
    EXPECT_EQ(unknown->description(), "Unknown AudioEffectType: Pan");

    auto balance = decodeFailure<AudioEffectType>(R"({"type": "pan"})");
    ASSERT_TRUE(balance);
    EXPECT_EQ(balance->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(balance->key(), "balance");
    EXPECT_EQ(decodeFailure<AudioEffectType>(R"({"type": "compressor", "ratio": 4})")->key(),
              "threshold");
    EXPECT_EQ(
        decodeFailure<AudioEffectType>(R"({"type": "eq", "bands": [{"frequency": 1}]})")->key(),
        "gain");
    EXPECT_EQ(decodeFailure<AudioEffectType>(R"({"type": "eq", "bands": {}})")->kind(),
              DecodeError::Kind::typeMismatch);
    auto badId = decodeFailure<AudioEffectType>(
        R"({"type": "ducking", "referenceTrackId": "track-2", "reduction": 0.5})");
    ASSERT_TRUE(badId);
    EXPECT_EQ(badId->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(badId->key(), "referenceTrackId");
    EXPECT_EQ(decodeFailure<AudioEffectType>(R"({"balance": 0})")->kind(),
              DecodeError::Kind::keyNotFound);
}
