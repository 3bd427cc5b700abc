#include "platform/media/AudioMix.h"
#include "platform/media/MediaError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel::media;

namespace {

MediaTime seconds(double s) {
    return MediaTime::fromSeconds(s);
}

} // namespace

TEST(AudioMix, VolumeHoldsPointsAndRampsLinearly) {
    AudioMix mix;
    AudioMixInputParameters parameters(3);
    parameters.setVolume(1, seconds(0));
    parameters.setVolumeRamp(1, 0.5f, {seconds(4), seconds(2)});
    mix.inputParameters.push_back(parameters);

    const AudioMixInputParameters* found = mix.parameters(3);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(mix.parameters(4), nullptr);
    EXPECT_FLOAT_EQ(found->volume(seconds(3)), 1.0f);
    EXPECT_FLOAT_EQ(found->volume(seconds(4)), 1.0f);
    EXPECT_FLOAT_EQ(found->volume(seconds(5)), 0.75f);
    EXPECT_FLOAT_EQ(found->volume(seconds(6)), 0.5f);
    EXPECT_FLOAT_EQ(found->volume(seconds(7)), 0.5f);
    EXPECT_EQ(found->volumeTimeline().constantValue(), std::nullopt);
}

TEST(AudioMix, BeforeTheFirstPointTheVolumeIsOneAndLaterSettingsTakeOver) {
    AudioMixInputParameters parameters(1);
    EXPECT_EQ(parameters.volumeTimeline().constantValue(), 1.0f);
    parameters.setVolume(0.3f, seconds(2));
    EXPECT_FLOAT_EQ(parameters.volume(seconds(1)), 1.0f);
    EXPECT_FLOAT_EQ(parameters.volume(seconds(2)), 0.3f);
    // A point inside a ramp ends it.
    parameters.setVolumeRamp(0, 1, {seconds(4), seconds(4)});
    parameters.setVolume(0.2f, seconds(6));
    EXPECT_FLOAT_EQ(parameters.volume(seconds(5)), 0.25f);
    EXPECT_FLOAT_EQ(parameters.volume(seconds(7)), 0.2f);

    AudioMixInputParameters constant(2);
    constant.setVolume(0.5f, seconds(0));
    EXPECT_EQ(constant.volumeTimeline().constantValue(), 0.5f);

    for (float bad : {std::nanf(""), -0.5f, std::numeric_limits<float>::infinity()}) {
        EXPECT_THROW(constant.setVolume(bad, seconds(1)), MediaError) << bad;
    }
    EXPECT_THROW(constant.setVolumeRamp(0, 1, {seconds(1), seconds(0)}), MediaError);
    EXPECT_THROW(constant.setVolume(1, seconds(-1)), MediaError);
    EXPECT_EQ(constant.volumeTimeline().constantValue(), 0.5f);
}
