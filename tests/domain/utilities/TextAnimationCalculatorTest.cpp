#include "domain/utilities/TextAnimationCalculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel;
using TextAnimationCalculator::calculate;

namespace {

constexpr double slide = 25.0 / 96.0;

TextAnimation entranceOnly(TextEntranceType entrance, EasingCurve easing = EasingCurve::linear) {
    TextAnimation animation;
    animation.entrance = entrance;
    animation.entranceEasing = easing;
    return animation;
}

TextAnimation exitOnly(TextExitType exit, EasingCurve easing = EasingCurve::linear) {
    TextAnimation animation;
    animation.exit = exit;
    animation.exitEasing = easing;
    return animation;
}

TextAnimation loopOnly(TextLoopType loop) {
    TextAnimation animation;
    animation.loop = loop;
    return animation;
}

} // namespace

TEST(TextAnimationCalculator, DegenerateDurationsGiveTheNeutralState) {
    TextAnimation everything = entranceOnly(TextEntranceType::fadeIn());
    everything.exit = TextExitType::fadeOut();
    everything.loop = TextLoopType::pulse(1.5, 1);
    for (double d : {0.0, -1.0, std::nan("")}) {
        for (double t : {-1.0, 0.0, 0.1, 5.0}) {
            EXPECT_EQ(calculate(everything, t, d), TextAnimationState{});
        }
    }
}

TEST(TextAnimationCalculator, PhaseIsThirtyPercentCappedAtHalfASecond) {
    // With D = 1 the phase is 0.3: at t = 0.15 a linear fade is half done.
    EXPECT_DOUBLE_EQ(calculate(entranceOnly(TextEntranceType::fadeIn()), 0.15, 1.0).opacity, 0.5);
    // With D = 2 the phase is 0.5, not 0.6.
    EXPECT_DOUBLE_EQ(calculate(entranceOnly(TextEntranceType::fadeIn()), 0.25, 2.0).opacity, 0.5);
    EXPECT_EQ(calculate(entranceOnly(TextEntranceType::fadeIn()), 0.5, 2.0), TextAnimationState{});
}

TEST(TextAnimationCalculator, EntranceBeforeTheClipStartsFromItsFirstFrame) {
    EXPECT_EQ(calculate(entranceOnly(TextEntranceType::fadeIn()), -1, 4).opacity, 0);
    EXPECT_EQ(calculate(entranceOnly(TextEntranceType::scaleIn()), -1, 4).scale, 0);
    EXPECT_EQ(calculate(entranceOnly(TextEntranceType::popIn()), -1, 4).scale, 0);
    auto bounce = calculate(entranceOnly(TextEntranceType::bounceIn()), -1, 4);
    EXPECT_EQ(bounce.scale, 0);
    EXPECT_EQ(bounce.normalizedOffsetY, -0.5);
    EXPECT_EQ(calculate(entranceOnly(TextEntranceType::slideIn(Direction::left)), -1, 4)
                  .normalizedOffsetX,
              -0.2604166666666667);
    auto wipe = calculate(entranceOnly(TextEntranceType::wipeReveal(Direction::up)), -1, 4);
    EXPECT_EQ(wipe.maskProgress, 0.0);
    EXPECT_EQ(wipe.maskDirection, Direction::up);
}

TEST(TextAnimationCalculator, SlidesComeInFromAndLeaveTowardsTheNamedSide) {
    // Half way through a linear 0.5 s entrance of a 4 s clip.
    EXPECT_DOUBLE_EQ(calculate(entranceOnly(TextEntranceType::slideIn(Direction::right)), 0.25, 4)
                         .normalizedOffsetX,
                     slide / 2);
    EXPECT_DOUBLE_EQ(calculate(entranceOnly(TextEntranceType::slideIn(Direction::down)), 0.25, 4)
                         .normalizedOffsetY,
                     slide / 2);
    EXPECT_DOUBLE_EQ(
        calculate(exitOnly(TextExitType::slideOut(Direction::up)), 3.75, 4).normalizedOffsetY,
        -slide / 2);
    EXPECT_DOUBLE_EQ(
        calculate(exitOnly(TextExitType::slideOut(Direction::left)), 3.75, 4).normalizedOffsetX,
        -slide / 2);
}

TEST(TextAnimationCalculator, SpringEntrancesIgnoreTheEasingAndSettle) {
    auto linear = calculate(entranceOnly(TextEntranceType::popIn(), EasingCurve::linear), 0.1, 4);
    auto eased = calculate(entranceOnly(TextEntranceType::popIn(), EasingCurve::easeInOut), 0.1, 4);
    EXPECT_EQ(linear, eased);
    // p = 0.2: 1 - e^(-2.8) cos(2.8565713714171398)
    EXPECT_NEAR(linear.scale, 1 - std::exp(-2.8) * std::cos(2.8565713714171398), 1e-15);
    // Overshoots near p = 0.17 and is within 1e-6 of 1 at the end of the phase.
    double overshoot = calculate(entranceOnly(TextEntranceType::popIn()), 0.17 * 0.5, 4).scale;
    EXPECT_GT(overshoot, 1.06);
    EXPECT_LT(overshoot, 1.08);
    double settled = calculate(entranceOnly(TextEntranceType::popIn()), 0.5 - 1e-12, 4).scale;
    EXPECT_NEAR(settled, 1, 1e-6);
}

TEST(TextAnimationCalculator, ExitsAtAndBeyondTheClipEnd) {
    EXPECT_EQ(calculate(exitOnly(TextExitType::fadeOut()), 5, 4).opacity, 0);
    EXPECT_EQ(calculate(exitOnly(TextExitType::scaleOut()), 5, 4).scale, 0);
    EXPECT_EQ(calculate(exitOnly(TextExitType::popOut()), 5, 4).scale, 0);
    auto bounce = calculate(exitOnly(TextExitType::bounceOut()), 5, 4);
    EXPECT_EQ(bounce.scale, 0);
    EXPECT_DOUBLE_EQ(bounce.normalizedOffsetY, 0.5);
    EXPECT_EQ(calculate(exitOnly(TextExitType::wipeOut(Direction::right)), 5, 4).maskProgress, 0.0);
    // Without an exit the text is untouched after its end.
    EXPECT_EQ(calculate(entranceOnly(TextEntranceType::fadeIn()), 5, 4), TextAnimationState{});
}

TEST(TextAnimationCalculator, PopAndBounceExitsPeakAfterAQuarter) {
    // D = 4, P = 0.5, exit starts at 3.5; a quarter is 0.125 s in.
    auto peak = calculate(exitOnly(TextExitType::bounceOut()), 3.625, 4);
    EXPECT_DOUBLE_EQ(peak.scale, 1.2);
    EXPECT_DOUBLE_EQ(peak.normalizedOffsetY, -0.05);
    auto early = calculate(exitOnly(TextExitType::popOut()), 3.5625, 4); // r = 0.125
    EXPECT_DOUBLE_EQ(early.scale, 1.1);
    auto late = calculate(exitOnly(TextExitType::popOut()), 3.8125, 4); // r = 0.625, w = 0.5
    EXPECT_DOUBLE_EQ(late.scale, 1.2 * 0.75);
}

TEST(TextAnimationCalculator, WindowBoundariesAreExclusiveWhereStated) {
    TextAnimation animation = entranceOnly(TextEntranceType::fadeIn());
    animation.exit = TextExitType::fadeOut();
    animation.loop = TextLoopType::pulse(1.2, 1);
    // t = P: the entrance is over and the loop already runs (tau = 0 gives (1 + k) / 2).
    auto atPhase = calculate(animation, 0.5, 10);
    EXPECT_EQ(atPhase.opacity, 1);
    EXPECT_DOUBLE_EQ(atPhase.scale, 1.1);
    // t = D - P: neither the exit nor the loop applies.
    EXPECT_EQ(calculate(animation, 9.5, 10), TextAnimationState{});
}

TEST(TextAnimationCalculator, PulseAndBounceLoops) {
    auto pulse = loopOnly(TextLoopType::pulse(1.2, 1.0));
    EXPECT_DOUBLE_EQ(calculate(pulse, 0.5, 10).scale, 1.1);
    EXPECT_DOUBLE_EQ(calculate(pulse, 0.75, 10).scale, 1.2);
    EXPECT_NEAR(calculate(pulse, 1.25, 10).scale, 1.0, 1e-12);
    EXPECT_EQ(calculate(pulse, 0.4, 10).scale, 1);
    EXPECT_EQ(calculate(pulse, 9.6, 10).scale, 1);

    auto bounce = loopOnly(TextLoopType::bounce(0.5, 2.0));
    EXPECT_NEAR(calculate(bounce, 0.5 + 0.5, 10).normalizedOffsetY, 0.5 * slide, 1e-12);
    EXPECT_NEAR(calculate(bounce, 0.5 + 1.5, 10).normalizedOffsetY, -0.5 * slide, 1e-12);

    for (double interval : {0.0, -1.0, std::nan("")}) {
        EXPECT_EQ(calculate(loopOnly(TextLoopType::pulse(2, interval)), 2, 10),
                  TextAnimationState{});
    }
}

TEST(TextAnimationCalculator, EasedWipeHalfWayAndMaskAbsentOutsideTheWindow) {
    auto animation = entranceOnly(TextEntranceType::wipeReveal(Direction::right));
    auto half = calculate(animation, 0.25, 4);
    EXPECT_EQ(half.maskProgress, 0.5);
    EXPECT_EQ(half.maskDirection, Direction::right);
    auto after = calculate(animation, 1, 4);
    EXPECT_FALSE(after.maskProgress.has_value());
    EXPECT_FALSE(after.maskDirection.has_value());
    // easeOut at 0.5 is 0.75; easeIn at 0.5 is 0.25; easeInOut at 0.5 is 0.5.
    EXPECT_DOUBLE_EQ(
        calculate(entranceOnly(TextEntranceType::fadeIn(), EasingCurve::easeOut), 0.25, 4).opacity,
        0.75);
    EXPECT_DOUBLE_EQ(
        calculate(entranceOnly(TextEntranceType::fadeIn(), EasingCurve::easeIn), 0.25, 4).opacity,
        0.25);
    EXPECT_DOUBLE_EQ(
        calculate(entranceOnly(TextEntranceType::fadeIn(), EasingCurve::easeInOut), 0.25, 4)
            .opacity,
        0.5);
}
