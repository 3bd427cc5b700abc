#include "domain/entities/EffectSection.h"

#include <gtest/gtest.h>

using namespace vexel;

TEST(EffectSection, SectionsApplyByTrackType) {
    EXPECT_EQ(allEffectSections.front(), EffectSection::transitions);
    EXPECT_EQ(allEffectSections.back(), EffectSection::volume);
    for (EffectSection section : allEffectSections) {
        EXPECT_FALSE(appliesTo(section, TrackType::text));
        EXPECT_TRUE(appliesTo(section, TrackType::video));
    }
    EXPECT_TRUE(appliesTo(EffectSection::filter, TrackType::image));
    EXPECT_FALSE(appliesTo(EffectSection::speed, TrackType::image));
    EXPECT_TRUE(appliesTo(EffectSection::volume, TrackType::audio));
    EXPECT_FALSE(appliesTo(EffectSection::opacity, TrackType::audio));
    EXPECT_FALSE(appliesTo(EffectSection::colorAdjust, TrackType::audio));
}
