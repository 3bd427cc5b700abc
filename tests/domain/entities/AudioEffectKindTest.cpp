#include "domain/entities/AudioEffectKind.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(AudioEffectKind, RawValuesInEffectOrder) {
    const char* expected[] = {"pan",       "pitchShift", "reverb", "eq",
                              "normalize", "compressor", "ducking"};
    ASSERT_EQ(allAudioEffectKinds.size(), 7u);
    for (std::size_t i = 0; i < allAudioEffectKinds.size(); ++i) {
        EXPECT_EQ(rawValue(allAudioEffectKinds[i]), expected[i]);
        EXPECT_EQ(audioEffectKindFromRaw(expected[i]), allAudioEffectKinds[i]);
    }
    EXPECT_FALSE(audioEffectKindFromRaw("Pan").has_value());
    EXPECT_FALSE(audioEffectKindFromRaw("pitch_shift").has_value());
}

TEST(AudioEffectKind, EncodedAsBareRawString) {
    EXPECT_EQ(Json(AudioEffectKind::pitchShift).dump(), "\"pitchShift\"");
    EXPECT_EQ(decode<AudioEffectKind>("\"ducking\""), AudioEffectKind::ducking);
    EXPECT_EQ(decodeFailure<AudioEffectKind>("\"EQ\"")->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(decodeFailure<AudioEffectKind>("null")->kind(), DecodeError::Kind::valueNotFound);
}
