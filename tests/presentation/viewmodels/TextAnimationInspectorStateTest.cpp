#include "presentation/viewmodels/TextAnimationInspectorState.h"

#include "domain/entities/ModelFixtures.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

using Section = TextAnimationSection;
using SetAnimation = EditCommand::SetTextAnimation;

Clip animated(std::optional<TextAnimation> animation) {
    Clip clip = makeClip(0, 4, TrackType::text, "Title");
    clip.textAnimation = std::move(animation);
    return clip;
}

TextAnimation animation(std::optional<TextEntranceType> entrance, std::optional<TextExitType> exit,
                        std::optional<TextLoopType> loop,
                        EasingCurve entranceEasing = EasingCurve::easeOut,
                        EasingCurve exitEasing = EasingCurve::easeIn) {
    return {entrance, exit, loop, entranceEasing, exitEasing};
}

} // namespace

TEST(TextAnimationInspectorStateTest, NamesItsKindsInListOrderAndExactly) {
    std::vector<std::string_view> entrances;
    for (TextEntranceKind kind : allTextEntranceKinds) {
        entrances.push_back(rawValue(kind));
        EXPECT_EQ(needsDirection(kind),
                  kind == TextEntranceKind::slideIn || kind == TextEntranceKind::wipeReveal);
    }
    EXPECT_EQ(entrances, (std::vector<std::string_view>{"slideIn", "scaleIn", "popIn", "wipeReveal",
                                                        "bounceIn", "fadeIn"}));
    std::vector<std::string_view> exits;
    for (TextExitKind kind : allTextExitKinds) {
        exits.push_back(rawValue(kind));
    }
    EXPECT_EQ(exits, (std::vector<std::string_view>{"slideOut", "scaleOut", "fadeOut", "popOut",
                                                    "wipeOut", "bounceOut"}));
    EXPECT_TRUE(needsDirection(TextExitKind::wipeOut));
    EXPECT_FALSE(needsDirection(TextExitKind::popOut));
    EXPECT_EQ(textLoopKindFromRaw("bounce"), TextLoopKind::bounce);
    EXPECT_EQ(textLoopKindFromRaw("Bounce"), std::nullopt);
    EXPECT_EQ(textEntranceKindFromRaw(""), std::nullopt);
}

TEST(TextAnimationInspectorStateTest, OpensOnTheClipsPartsOnly) {
    // Easings without any part are not shown and change nothing.
    for (const std::optional<TextAnimation>& none :
         {std::optional<TextAnimation>(),
          std::optional(animation(std::nullopt, std::nullopt, std::nullopt, EasingCurve::linear,
                                  EasingCurve::easeInOut))}) {
        TextAnimationInspectorState state(animated(none));
        EXPECT_TRUE(state.appliedSections().empty());
        EXPECT_EQ(state.entranceEasing(), EasingCurve::easeOut);
        EXPECT_EQ(state.exitEasing(), EasingCurve::easeIn);
        EXPECT_FALSE(state.hasChanges());
        state.setEntranceEasing(EasingCurve::linear);
        EXPECT_FALSE(state.hasChanges());
        EXPECT_TRUE(state.buildEditCommands().empty());
    }

    const TextAnimationInspectorState state(animated(
        animation(TextEntranceType::slideIn(Direction::right), TextExitType::popOut(),
                  TextLoopType::pulse(1.5, 8), EasingCurve::linear, EasingCurve::easeInOut)));
    EXPECT_EQ(state.appliedSections(),
              (std::vector<Section>{Section::entrance, Section::exit, Section::loop}));
    EXPECT_EQ(state.entranceKind(), TextEntranceKind::slideIn);
    EXPECT_EQ(state.entranceDirection(), Direction::right);
    EXPECT_EQ(state.exitKind(), TextExitKind::popOut);
    EXPECT_EQ(state.exitDirection(), Direction::left);
    EXPECT_EQ(state.loopKind(), TextLoopKind::pulse);
    EXPECT_EQ(state.pulseScale(), 1.5);
    EXPECT_EQ(state.pulseInterval(), 8);
    EXPECT_EQ(state.bounceAmplitude(), 0.1);
    EXPECT_EQ(state.bounceInterval(), 0.5);
    EXPECT_EQ(state.entranceEasing(), EasingCurve::linear);
    EXPECT_EQ(state.exitEasing(), EasingCurve::easeInOut);
    EXPECT_FALSE(state.hasChanges());
}

TEST(TextAnimationInspectorStateTest, BuildsTheEditsThatGiveTheClipTheFormsAnimation) {
    struct Case {
        std::string name;
        std::optional<TextAnimation> stored;
        std::function<void(TextAnimationInspectorState&)> edit;
        std::function<std::vector<EditCommand>(const Uuid&)> expected;
    };
    const auto slideRight = TextEntranceType::slideIn(Direction::right);
    const std::vector<Case> cases = {
        {"another kind, then the first again, keeps its direction",
         animation(slideRight, std::nullopt, std::nullopt),
         [](TextAnimationInspectorState& state) {
             state.setEntranceKind(TextEntranceKind::fadeIn);
             state.setEntranceKind(TextEntranceKind::slideIn);
         },
         [](const Uuid&) { return std::vector<EditCommand>{}; }},
        {"a fade-in instead of a slide", animation(slideRight, std::nullopt, std::nullopt),
         [](TextAnimationInspectorState& state) {
             state.setEntranceKind(TextEntranceKind::fadeIn);
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 SetAnimation{id, TextEntranceType::fadeIn(), std::nullopt, std::nullopt,
                              EasingCurve::easeOut, EasingCurve::easeIn}};
         }},
        {"a bounce loop takes the bounce numbers it opened with",
         animation(std::nullopt, std::nullopt, TextLoopType::pulse(1.2, 1)),
         [](TextAnimationInspectorState& state) { state.setLoopKind(TextLoopKind::bounce); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 SetAnimation{id, std::nullopt, std::nullopt, TextLoopType::bounce(0.1, 0.5),
                              EasingCurve::easeOut, EasingCurve::easeIn}};
         }},
        {"the exit easing of an exit",
         animation(std::nullopt, TextExitType::fadeOut(), std::nullopt),
         [](TextAnimationInspectorState& state) { state.setExitEasing(EasingCurve::linear); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{SetAnimation{id, std::nullopt, TextExitType::fadeOut(),
                                                          std::nullopt, EasingCurve::easeOut,
                                                          EasingCurve::linear}};
         }},
        {"the entrance easing beside no entrance is no change",
         animation(std::nullopt, TextExitType::fadeOut(), std::nullopt),
         [](TextAnimationInspectorState& state) { state.setEntranceEasing(EasingCurve::linear); },
         [](const Uuid&) { return std::vector<EditCommand>{}; }},
        {"every kind cleared takes the animation off",
         animation(slideRight, TextExitType::fadeOut(), TextLoopType::bounce(0.2, 1)),
         [](TextAnimationInspectorState& state) {
             state.setEntranceKind(std::nullopt);
             state.setExitKind(std::nullopt);
             state.setLoopKind(std::nullopt);
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{SetAnimation{id, std::nullopt, std::nullopt,
                                                          std::nullopt, EasingCurve::easeOut,
                                                          EasingCurve::easeIn}};
         }},
        // The edit keeps what it is not given: a part dropped beside a kept
        // one needs the animation taken off first, in the same batch.
        {"the entrance removed beside an exit",
         animation(slideRight, TextExitType::fadeOut(), std::nullopt, EasingCurve::linear,
                   EasingCurve::easeInOut),
         [](TextAnimationInspectorState& state) { state.removeSection(Section::entrance); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 SetAnimation{id, std::nullopt, std::nullopt, std::nullopt, EasingCurve::easeOut,
                              EasingCurve::easeIn},
                 SetAnimation{id, std::nullopt, TextExitType::fadeOut(), std::nullopt,
                              EasingCurve::easeOut, EasingCurve::easeInOut}};
         }},
        {"a loop set to none beside an entrance",
         animation(slideRight, std::nullopt, TextLoopType::pulse(1.4, 2)),
         [](TextAnimationInspectorState& state) { state.setLoopKind(std::nullopt); },
         [&](const Uuid& id) {
             return std::vector<EditCommand>{
                 SetAnimation{id, std::nullopt, std::nullopt, std::nullopt, EasingCurve::easeOut,
                              EasingCurve::easeIn},
                 SetAnimation{id, slideRight, std::nullopt, std::nullopt, EasingCurve::easeOut,
                              EasingCurve::easeIn}};
         }},
    };
    for (const Case& c : cases) {
        const Clip clip = animated(c.stored);
        TextAnimationInspectorState state(clip);
        c.edit(state);
        const std::vector<EditCommand> expected = c.expected(clip.id);
        EXPECT_EQ(state.buildEditCommands(), expected) << c.name;
        EXPECT_EQ(state.hasChanges(), !expected.empty()) << c.name;
    }
}

TEST(TextAnimationInspectorStateTest, RemovingASectionUnlistsItAndRestoresItsStartingValues) {
    TextAnimationInspectorState state(animated(animation(
        TextEntranceType::wipeReveal(Direction::up), std::nullopt, TextLoopType::pulse(1.5, 2))));
    QSignalSpy kind(&state, &TextAnimationInspectorState::loopKindChanged);
    state.setPulseScale(1.8);
    state.setPulseInterval(3);
    state.setLoopKind(std::nullopt);
    // A kind set to none keeps its section listed.
    EXPECT_EQ(state.appliedSections(), (std::vector<Section>{Section::entrance, Section::loop}));
    state.removeSection(Section::loop);
    EXPECT_EQ(state.appliedSections(), std::vector<Section>{Section::entrance});
    EXPECT_EQ(state.pulseScale(), 1.2);
    EXPECT_EQ(state.pulseInterval(), 1.0);
    EXPECT_EQ(kind.count(), 1);
    state.setLoopKind(TextLoopKind::pulse);
    EXPECT_EQ(state.appliedSections(), std::vector<Section>{Section::entrance})
        << "a removed section stays unlisted";

    state.removeSection(Section::entrance);
    EXPECT_EQ(state.entranceKind(), std::nullopt);
    EXPECT_EQ(state.entranceDirection(), Direction::left);
    EXPECT_EQ(state.entranceEasing(), EasingCurve::easeOut);
}
