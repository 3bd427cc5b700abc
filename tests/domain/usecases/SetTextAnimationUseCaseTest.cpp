#include "domain/usecases/SetTextAnimationUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

constexpr EasingCurve linear = EasingCurve::linear;

struct SetTextAnimationUseCaseTest : ClipKindsFixture {
    Project run(std::optional<TextEntranceType> entrance, std::optional<TextExitType> exit,
                std::optional<TextLoopType> loop, EasingCurve entranceEasing = linear,
                EasingCurve exitEasing = linear, std::optional<Uuid> clipId = {}) {
        EditCommand::SetTextAnimation edit;
        edit.clipId = clipId.value_or(text.id);
        edit.entrance = entrance;
        edit.exit = exit;
        edit.loop = loop;
        edit.entranceEasing = entranceEasing;
        edit.exitEasing = exitEasing;
        return engine.executor.execute(edit);
    }
    std::optional<TextAnimation> animation() const { return stored(text.id).textAnimation; }
};

} // namespace

TEST_F(SetTextAnimationUseCaseTest, MergesWithTheStoredAnimation) {
    run(TextEntranceType::slideIn(Direction::left), {}, {}, linear);
    const Project after =
        run({}, TextExitType::fadeOut(), {}, EasingCurve::easeInOut, EasingCurve::easeOut);
    // Only the exit changed: the entrance keeps its own easing.
    const TextAnimation expected{TextEntranceType::slideIn(Direction::left),
                                 TextExitType::fadeOut(), std::nullopt, linear,
                                 EasingCurve::easeOut};
    EXPECT_EQ(clipIn(after, text.id).textAnimation, expected);
}

TEST_F(SetTextAnimationUseCaseTest, EasingsComeFromTheCommandOnlyWithTheirPart) {
    // A first entrance takes its easing; the exit easing starts as ease-in.
    run(TextEntranceType::popIn(), {}, {}, linear, EasingCurve::easeInOut);
    EXPECT_EQ(animation(), (TextAnimation{TextEntranceType::popIn(), std::nullopt, std::nullopt,
                                          linear, EasingCurve::easeIn}));

    // A loop alone keeps both easings and adds the loop.
    run({}, {}, TextLoopType::pulse(3.0, 0.1), EasingCurve::easeIn, EasingCurve::easeOut);
    EXPECT_EQ(animation(),
              (TextAnimation{TextEntranceType::popIn(), std::nullopt, TextLoopType::pulse(3.0, 0.1),
                             linear, EasingCurve::easeIn}));

    // Nothing given clears the animation; then a first exit brings ease-out in.
    run({}, {}, {});
    EXPECT_FALSE(animation().has_value());
    run({}, TextExitType::wipeOut(Direction::up), {}, EasingCurve::easeIn, linear);
    EXPECT_EQ(animation(), (TextAnimation{std::nullopt, TextExitType::wipeOut(Direction::up),
                                          std::nullopt, EasingCurve::easeOut, linear}));
}

TEST_F(SetTextAnimationUseCaseTest, LoopParametersAreBounded) {
    EXPECT_NO_THROW(run({}, {}, TextLoopType::bounce(0.5, 10)));
    EXPECT_NO_THROW(run({}, {}, TextLoopType::bounce(0, 0.1)));
    EXPECT_NO_THROW(run({}, {}, TextLoopType::pulse(0.5, 1)));
    engine.repository->saved.clear();

    for (const TextLoopType& loop :
         {TextLoopType::pulse(3.01, 1), TextLoopType::pulse(0.49, 1), TextLoopType::bounce(0.6, 1),
          TextLoopType::bounce(-0.1, 1), TextLoopType::pulse(1, 10.5),
          TextLoopType::bounce(0.2, 0.05),
          TextLoopType::pulse(1, std::numeric_limits<double>::infinity())}) {
        expectEditError([&] { run({}, {}, loop); }, EditError::invalidTextAnimationParameter());
    }
    expectEditError([&] { run({}, {}, {}, linear, linear, image.id); },
                    EditError::textAnimationNotSupported());
    EXPECT_TRUE(savedNothing());
}
