#include "domain/usecases/TransitionUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct TransitionUseCaseTest : ClipKindsFixture {
    UseCaseDriver<TransitionUseCase> useCase{engine};
    const TransitionEffect storedOut{1.5, TransitionType::push(Direction::left),
                                     EasingCurve::easeInOut};

    TransitionUseCaseTest() {
        Clip withOut = video;
        withOut.transitionOut = storedOut;
        engine.repository->save(current().replacingClip(withOut));
        engine.repository->saved.clear();
    }
};

} // namespace

TEST_F(TransitionUseCaseTest, FirstFadeInIsALinearFadeAndAChangedFadeOutKeepsItsLook) {
    const Project after = useCase.execute(video.id, 2, 3, std::nullopt, std::nullopt);
    const Clip& clip = *after.findClip(video.id);
    EXPECT_EQ(clip.transitionIn,
              (TransitionEffect{2, TransitionType::fade(), EasingCurve::linear}));
    EXPECT_EQ(clip.transitionOut, (TransitionEffect{3, storedOut.type, storedOut.easing}));
}

TEST_F(TransitionUseCaseTest, GivenTypeAndEasingApplyOnlyToTheEndsGivenADuration) {
    useCase.execute(video.id, 1, std::nullopt, TransitionType::spin(), EasingCurve::easeIn);
    const Clip clip = stored(video.id);
    EXPECT_EQ(clip.transitionIn,
              (TransitionEffect{1, TransitionType::spin(), EasingCurve::easeIn}));
    EXPECT_EQ(clip.transitionOut, storedOut);

    // A type with no durations changes nothing but is still saved.
    engine.repository->saved.clear();
    const Project unchanged = current();
    EXPECT_EQ(useCase.execute(video.id, std::nullopt, std::nullopt, TransitionType::zoomIn(),
                              std::nullopt),
              unchanged);
    EXPECT_EQ(engine.repository->saved.size(), 1u);
}

TEST_F(TransitionUseCaseTest, ZeroRemovesAnEndAndDurationsAreBounded) {
    useCase.execute(video.id, std::nullopt, 0, std::nullopt, std::nullopt);
    EXPECT_FALSE(stored(video.id).transitionOut.has_value());
    // 5 s is the longest; a 4 s image takes 2 s + 2 s.
    EXPECT_NO_THROW(useCase.execute(video.id, 5, std::nullopt, std::nullopt, std::nullopt));
    EXPECT_NO_THROW(useCase.execute(image.id, 2, 2, std::nullopt, std::nullopt));
    engine.repository->saved.clear();

    const double inf = std::numeric_limits<double>::infinity();
    expectEditError(
        [&] { useCase.execute(video.id, 5.01, std::nullopt, std::nullopt, std::nullopt); },
        EditError::invalidTransitionDuration(5.01));
    expectEditError(
        [&] { useCase.execute(video.id, inf, std::nullopt, std::nullopt, std::nullopt); },
        EditError::invalidTransitionDuration(inf));
    expectEditError([&] { useCase.execute(video.id, 1, -1, std::nullopt, std::nullopt); },
                    EditError::invalidTransitionDuration(-1));
    expectEditError([&] { useCase.execute(image.id, 2.5, 2, std::nullopt, std::nullopt); },
                    EditError::transitionExceedsClipDuration(4.5, 4));
    EXPECT_EQ(EditError::transitionExceedsClipDuration(4.5, 4).userMessage(),
              "Transition duration (4.5s) exceeds the clip duration (4.0s).");
    // The stored other end counts towards the clip's length.
    expectEditError(
        [&] { useCase.execute(image.id, 2.5, std::nullopt, std::nullopt, std::nullopt); },
        EditError::transitionExceedsClipDuration(4.5, 4));
    EXPECT_TRUE(savedNothing());
}

TEST_F(TransitionUseCaseTest, GeometricTypesAreForVideoOnlyAndAudioTakesNone) {
    for (const TransitionType& type :
         {TransitionType::wipe(Direction::up), TransitionType::zoomIn(), TransitionType::flip()}) {
        expectEditError([&] { useCase.execute(image.id, 1, std::nullopt, type, std::nullopt); },
                        EditError::geometricTransitionNotSupported());
        expectEditError([&] { useCase.execute(text.id, 1, std::nullopt, type, std::nullopt); },
                        EditError::geometricTransitionNotSupported());
    }
    // Checked before the durations.
    expectEditError(
        [&] { useCase.execute(image.id, 99, std::nullopt, TransitionType::spin(), std::nullopt); },
        EditError::geometricTransitionNotSupported());
    EXPECT_TRUE(savedNothing());

    useCase.execute(text.id, 1, 1, TransitionType::crossDissolve(), std::nullopt);
    EXPECT_EQ(stored(text.id).transitionOut->type, TransitionType::crossDissolve());
    useCase.execute(image.id, std::nullopt, 1, TransitionType::fade(), std::nullopt);
    EXPECT_EQ(stored(image.id).transitionOut->type, TransitionType::fade());
}
