#include "domain/usecases/CrossDissolveUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

TransitionEffect dissolve(double duration) {
    return {duration, TransitionType::crossDissolve(), EasingCurve::linear};
}

struct CrossDissolveUseCaseTest : ::testing::Test {
    // Stored out of time order: nextClip follows by start time, not list order.
    Clip b = makeClip(3, 1.5, TrackType::video, "b.mov");
    Clip a = [] {
        Clip clip = makeClip(0, 3, TrackType::video, "a.mov");
        clip.transitionOut = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::easeIn};
        return clip;
    }();
    Clip photo = [] {
        Clip clip = makeClip(0, 4, TrackType::image, "photo.png");
        clip.transitionIn = TransitionEffect{2.5, TransitionType::fade(), EasingCurve::linear};
        return clip;
    }();
    Clip photo2 = makeClip(4, 4, TrackType::image, "photo2.png");
    Clip song = makeClip(0, 8, TrackType::audio, "song.mp3");
    Clip song2 = makeClip(8, 8, TrackType::audio, "song2.mp3");
    Clip title = makeClip(0, 4, TrackType::text, "Title");
    EditEngineHarness engine{Project{{makeTrack(TrackType::video, "Video 1", {b, a}),
                                      makeTrack(TrackType::image, "Image 1", {photo, photo2}),
                                      makeTrack(TrackType::text, "Text 1", {title}),
                                      makeTrack(TrackType::audio, "Audio 1", {song, song2}, true)},
                                     60}};
    UseCaseDriver<CrossDissolveUseCase> useCase{engine};

    Clip stored(const Uuid& id) const { return *engine.repository->current().findClip(id); }
};

} // namespace

TEST_F(CrossDissolveUseCaseTest, JoinsAClipToTheNextOne) {
    const Project after = useCase.execute(a.id, 0.75);
    EXPECT_EQ(after.findClip(a.id)->transitionOut, dissolve(0.75));
    EXPECT_EQ(after.findClip(b.id)->transitionIn, dissolve(0.75));
    EXPECT_EQ(after.findClip(a.id)->transitionIn, a.transitionIn);
}

TEST_F(CrossDissolveUseCaseTest, DurationIsAtMostHalfTheShorterClip) {
    // Clips of 3 s and 1.5 s: the limit is 0.75 s.
    expectEditError([&] { useCase.execute(a.id, 1.0); }, EditError::invalidTransitionDuration(1.0));
    expectEditError([&] { useCase.execute(a.id, 0.76); },
                    EditError::invalidTransitionDuration(0.76));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double duration : {-0.5, 5.5, std::numeric_limits<double>::infinity()}) {
        expectEditError([&] { useCase.execute(a.id, duration); },
                        EditError::invalidTransitionDuration(duration));
    }
    try {
        useCase.execute(a.id, nan);
        ADD_FAILURE() << "NaN duration accepted";
    } catch (const EditError& error) {
        EXPECT_EQ(error.kind(), EditError::Kind::invalidTransitionDuration);
    }
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST_F(CrossDissolveUseCaseTest, EachClipMustStillHoldItsOtherTransition) {
    // 1.75 s fits half of 4 s, but with the 2.5 s fade-in the first image needs 4.25 s.
    expectEditError([&] { useCase.execute(photo.id, 1.75); },
                    EditError::transitionExceedsClipDuration(4.25, 4));

    Clip photo2WithOut = photo2;
    photo2WithOut.transitionOut = TransitionEffect{3, TransitionType::fade(), EasingCurve::linear};
    Clip photoWithoutIn = photo;
    photoWithoutIn.transitionIn.reset();
    engine.repository->save(
        engine.repository->load().replacingClip(photo2WithOut).replacingClip(photoWithoutIn));
    expectEditError([&] { useCase.execute(photo.id, 1.5); },
                    EditError::transitionExceedsClipDuration(4.5, 4));
}

TEST_F(CrossDissolveUseCaseTest, NeedsANextClipAndAVideoOrImageClip) {
    expectEditError([&] { useCase.execute(b.id, 0.5); }, EditError::noAdjacentClip(b.id));
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST_F(CrossDissolveUseCaseTest, ZeroRemovesTheJoinButNotOtherIncomingTransitions) {
    useCase.execute(a.id, 0.5);
    useCase.execute(a.id, -0.0);
    EXPECT_FALSE(stored(a.id).transitionOut.has_value());
    EXPECT_FALSE(stored(b.id).transitionIn.has_value());

    // On the last clip only its own outgoing transition goes.
    Clip bWithOut = b;
    bWithOut.transitionOut = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    Clip bWithFadeIn = bWithOut;
    bWithFadeIn.transitionIn = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    engine.repository->save(engine.repository->load().replacingClip(bWithFadeIn));
    useCase.execute(b.id, 0);
    EXPECT_FALSE(stored(b.id).transitionOut.has_value());

    // A fade into the next clip is not a dissolve and stays.
    useCase.execute(a.id, 0);
    EXPECT_EQ(stored(b.id).transitionIn, bWithFadeIn.transitionIn);
}
