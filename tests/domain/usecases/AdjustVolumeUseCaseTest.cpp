#include "domain/usecases/AdjustVolumeUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct AdjustVolumeUseCaseTest : ClipKindsFixture {
    UseCaseDriver<AdjustVolumeUseCase> useCase{engine};
    const double nan = std::numeric_limits<double>::quiet_NaN();
};

} // namespace

TEST_F(AdjustVolumeUseCaseTest, StoresVolumeAndFadeRelativeToTheClip) {
    // nextVideo runs from 20 to 25 s on the timeline.
    const Project after = useCase.execute(nextVideo.id, 0.3, TimeRange{22, 3});
    const Clip& clip = *after.findClip(nextVideo.id);
    EXPECT_EQ(clip.volume, 0.3);
    EXPECT_EQ(clip.fadeRange, (TimeRange{2, 3}));
    EXPECT_EQ(clip.timeRange, nextVideo.timeRange);
}

TEST_F(AdjustVolumeUseCaseTest, AcceptsTheBoundsAndRejectsValuesOutsideThem) {
    EXPECT_EQ(clipIn(useCase.execute(audio.id, 1.0, std::nullopt), audio.id).volume, 1.0);
    EXPECT_EQ(clipIn(useCase.execute(audio.id, 0.0, std::nullopt), audio.id).volume, 0.0);
    // Any kind of clip takes a volume, text included.
    EXPECT_EQ(clipIn(useCase.execute(text.id, 0.5, std::nullopt), text.id).volume, 0.5);
    engine.repository->saved.clear();

    expectEditError([&] { useCase.execute(audio.id, 1.0000001, std::nullopt); },
                    EditError::invalidVolume(1.0000001));
    expectEditError([&] { useCase.execute(audio.id, -0.1, std::nullopt); },
                    EditError::invalidVolume(-0.1));
    try {
        useCase.execute(audio.id, nan, std::nullopt);
        ADD_FAILURE() << "NaN volume accepted";
    } catch (const EditError& error) {
        EXPECT_EQ(error.kind(), EditError::Kind::invalidVolume);
    }
    EXPECT_TRUE(savedNothing());
}

TEST_F(AdjustVolumeUseCaseTest, FadeRangeMustLieInsideTheClipWithANonNegativeDuration) {
    // Ending exactly at the clip's end, and a zero-length fade, are accepted.
    EXPECT_EQ(clipIn(useCase.applyTo(current(), nextVideo.id, 0.5, TimeRange{22, 3}), nextVideo.id)
                  .fadeRange,
              (TimeRange{2, 3}));
    EXPECT_EQ(clipIn(useCase.applyTo(current(), nextVideo.id, 0.5, TimeRange{20, 0}), nextVideo.id)
                  .fadeRange,
              (TimeRange{0, 0}));

    for (const TimeRange& fade : {TimeRange{19.9, 1}, TimeRange{22, 3.01}, TimeRange{24, -2},
                                  TimeRange{nan, 1}, TimeRange{21, nan}}) {
        expectEditError([&] { useCase.execute(nextVideo.id, 0.5, fade); },
                        EditError::invalidFadeRange());
    }
    EXPECT_TRUE(savedNothing());
}

TEST_F(AdjustVolumeUseCaseTest, LeavingTheFadeOutRemovesAStoredOne) {
    useCase.execute(audio.id, 0.2, TimeRange{1, 2});
    ASSERT_TRUE(stored(audio.id).fadeRange.has_value());
    const Clip clip = clipIn(useCase.execute(audio.id, 0.4, std::nullopt), audio.id);
    EXPECT_FALSE(clip.fadeRange.has_value());
    EXPECT_EQ(clip.volume, 0.4);
}
