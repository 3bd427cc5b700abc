#include "presentation/viewmodels/EffectInspectorState.h"

#include "domain/entities/ModelFixtures.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

using Section = EffectSection;
using Transition = EditCommand::Transition;

TransitionEffect transition(double duration, TransitionType type = TransitionType::fade(),
                            EasingCurve easing = EasingCurve::linear) {
    return {duration, type, easing};
}

} // namespace

TEST(EffectInspectorStateTest, ListsTheEffectsTheClipCarriesThatApplyToItsKind) {
    struct Case {
        std::string name;
        std::function<void(Clip&)> setUp;
        TrackType kind;
        std::vector<Section> expected;
    };
    const auto everything = [](Clip& clip) {
        clip.transitionOut = transition(1);
        clip.opacity = 0.5;
        clip.colorAdjust = ColorAdjust{0, 1.5, 1};
        clip.filter = FilterPreset{"noir", 0.8};
        clip.rate = 2;
        clip.fadeRange = TimeRange{0, 1};
    };
    const std::vector<Case> cases = {
        {"a text clip, whatever it holds", everything, TrackType::text, {}},
        {"an audio clip at rate 1 and volume 1", [](Clip&) {}, TrackType::audio, {}},
        {"an audio clip lists speed and volume only",
         everything,
         TrackType::audio,
         {Section::speed, Section::volume}},
        {"an image clip lists no speed or volume",
         everything,
         TrackType::image,
         {Section::transitions, Section::opacity, Section::colorAdjust, Section::filter}},
        {"a video clip lists all six in order",
         everything,
         TrackType::video,
         {Section::transitions, Section::opacity, Section::colorAdjust, Section::filter,
          Section::speed, Section::volume}},
        {"a neutral colour adjustment",
         [](Clip& clip) {
             clip.colorAdjust = ColorAdjust{0, 1, 1};
         },
         TrackType::video,
         {}},
        {"a millionth of brightness",
         [](Clip& clip) {
             clip.colorAdjust = ColorAdjust{0.000001, 1, 1};
         },
         TrackType::video,
         {Section::colorAdjust}},
        {"a filter named none",
         [](Clip& clip) {
             clip.filter = FilterPreset{"none", 0.3};
         },
         TrackType::video,
         {}},
        {"a fade-in of no length",
         [](Clip& clip) { clip.transitionIn = transition(0, TransitionType::spin()); },
         TrackType::video,
         {}},
        {"a fade range alone shows the volume",
         [](Clip& clip) {
             clip.fadeRange = TimeRange{0, 1};
         },
         TrackType::audio,
         {Section::volume}},
    };
    for (const Case& c : cases) {
        Clip clip = makeClip(0, 6, c.kind);
        c.setUp(clip);
        const EffectInspectorState state(clip);
        EXPECT_EQ(state.appliedSections(), c.expected) << c.name;
        EXPECT_FALSE(state.hasChanges()) << c.name;
        EXPECT_TRUE(state.buildEditCommands().empty()) << c.name;
    }
}

TEST(EffectInspectorStateTest, OpensOnTheClipsValuesOrTheNeutralOnes) {
    Clip clip = makeClip(0, 6);
    clip.filter = FilterPreset{"none", 0.3};
    clip.transitionIn = transition(0, TransitionType::spin(), EasingCurve::easeIn);
    const EffectInspectorState stored(clip);
    EXPECT_EQ(stored.filterName(), "none");
    EXPECT_EQ(stored.filterIntensity(), 0.3);
    // A side of no length keeps its type and easing in the form.
    EXPECT_EQ(stored.transitionInType(), TransitionType::spin());
    EXPECT_EQ(stored.transitionInEasing(), EasingCurve::easeIn);
    EXPECT_EQ(stored.transitionOutType(), TransitionType::fade());

    const EffectInspectorState bare(makeClip(0, 6));
    EXPECT_EQ(bare.filterName(), "none");
    EXPECT_EQ(bare.filterIntensity(), 1.0);
    EXPECT_EQ(bare.brightness(), 0);
    EXPECT_EQ(bare.contrast(), 1);
    EXPECT_EQ(bare.saturation(), 1);
    EXPECT_EQ(bare.fadeRange(), std::nullopt);
    EXPECT_NE(stored.id(), bare.id());
}

TEST(EffectInspectorStateTest, TurnsEachDifferenceIntoItsCommandInBatchOrder) {
    struct Case {
        std::string name;
        std::function<void(Clip&)> setUp;
        std::function<void(EffectInspectorState&)> edit;
        std::function<std::vector<EditCommand>(const Uuid&)> expected;
    };
    const auto none = [](Clip&) {};
    const std::vector<Case> cases = {
        {"opacity moved by less than the tolerance", [](Clip& clip) { clip.opacity = 0.5; },
         [](EffectInspectorState& state) { state.setOpacity(0.5 + 1e-10); },
         [](const Uuid&) { return std::vector<EditCommand>{}; }},
        {"rate, opacity and volume together", none,
         [](EffectInspectorState& state) {
             state.setVolume(0.4);
             state.setOpacity(0.5);
             state.setRate(1.5);
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{EditCommand::Speed{id, 1.5},
                                             EditCommand::Opacity{id, 0.5},
                                             EditCommand::AdjustVolume{id, 0.4, std::nullopt}};
         }},
        {"only the contrast still sends all three colour values",
         [](Clip& clip) {
             clip.colorAdjust = ColorAdjust{0.2, 1, 1.5};
         },
         [](EffectInspectorState& state) { state.setContrast(2); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{EditCommand::ColorAdjust{id, 0.2, 2.0, 1.5}};
         }},
        {"the intensity of no filter", none,
         [](EffectInspectorState& state) { state.setFilterIntensity(0.5); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{EditCommand::Filter{id, "none", std::nullopt}};
         }},
        {"another preset keeps the intensity",
         [](Clip& clip) {
             clip.filter = FilterPreset{"noir", 0.6};
         },
         [](EffectInspectorState& state) { state.setFilterName("sepia"); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{EditCommand::Filter{id, "sepia", 0.6}};
         }},
        {"only the fade-out easing",
         [](Clip& clip) { clip.transitionOut = transition(1.5, TransitionType::zoomIn()); },
         [](EffectInspectorState& state) { state.setTransitionOutEasing(EasingCurve::easeOut); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 Transition{id, std::nullopt, 1.5, TransitionType::zoomIn(), EasingCurve::easeOut}};
         }},
        {"both sides alike stay one command",
         [](Clip& clip) {
             clip.transitionIn = transition(1);
             clip.transitionOut = transition(1);
         },
         [](EffectInspectorState& state) {
             state.setTransitionInDuration(2);
             state.setTransitionOutDuration(0.5);
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 Transition{id, 2.0, 0.5, TransitionType::fade(), EasingCurve::linear}};
         }},
        // Each side keeps its own type and easing; neither shrinks, so the
        // fade-in goes first.
        {"push in and wipe out",
         [](Clip& clip) {
             clip.transitionIn = transition(1);
             clip.transitionOut = transition(1);
         },
         [](EffectInspectorState& state) {
             state.setTransitionInType(TransitionType::push(Direction::left));
             state.setTransitionOutType(TransitionType::wipe(Direction::right));
             state.setTransitionOutEasing(EasingCurve::easeIn);
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 Transition{id, 1.0, std::nullopt, TransitionType::push(Direction::left),
                            EasingCurve::linear},
                 Transition{id, std::nullopt, 1.0, TransitionType::wipe(Direction::right),
                            EasingCurve::easeIn}};
         }},
        {"the shrinking fade-out goes first",
         [](Clip& clip) {
             clip.transitionIn = transition(0.5);
             clip.transitionOut = transition(2);
         },
         [](EffectInspectorState& state) {
             state.setTransitionInDuration(2);
             state.setTransitionInType(TransitionType::push(Direction::left));
             state.setTransitionOutDuration(0.5);
             state.setTransitionOutType(TransitionType::wipe(Direction::right));
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 Transition{id, std::nullopt, 0.5, TransitionType::wipe(Direction::right),
                            EasingCurve::linear},
                 Transition{id, 2.0, std::nullopt, TransitionType::push(Direction::left),
                            EasingCurve::linear}};
         }},
        {"removing both transitions",
         [](Clip& clip) {
             clip.transitionIn = transition(1, TransitionType::spin(), EasingCurve::easeIn);
             clip.transitionOut = transition(1, TransitionType::flip(), EasingCurve::easeOut);
         },
         [](EffectInspectorState& state) { state.removeSection(Section::transitions); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 Transition{id, 0.0, 0.0, TransitionType::fade(), EasingCurve::linear}};
         }},
        {"removing the volume drops the fade",
         [](Clip& clip) {
             clip.volume = 0.4;
             clip.fadeRange = TimeRange{1, 2};
         },
         [](EffectInspectorState& state) { state.removeSection(Section::volume); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{EditCommand::AdjustVolume{id, 1.0, std::nullopt}};
         }},
        {"the volume of a clip at 10 s sends its fade in timeline time",
         [](Clip& clip) {
             clip.timeRange = {10, 5};
             clip.fadeRange = TimeRange{0, 2};
         },
         [](EffectInspectorState& state) { state.setVolume(0.7); },
         [](const Uuid& id) {
             return std::vector<EditCommand>{EditCommand::AdjustVolume{id, 0.7, TimeRange{10, 2}}};
         }},
        {"removing every section of a clip with all six",
         [](Clip& clip) {
             clip.transitionIn = transition(1);
             clip.opacity = 0.3;
             clip.colorAdjust = ColorAdjust{-0.5, 1, 1};
             clip.filter = FilterPreset{"sepia", 0.5};
             clip.rate = 0.5;
             clip.volume = 0.2;
         },
         [](EffectInspectorState& state) {
             for (Section section : allEffectSections) {
                 state.removeSection(section);
             }
         },
         [](const Uuid& id) {
             return std::vector<EditCommand>{
                 EditCommand::Speed{id, 1.0},
                 EditCommand::Opacity{id, 1.0},
                 EditCommand::ColorAdjust{id, 0.0, 1.0, 1.0},
                 EditCommand::Filter{id, "none", std::nullopt},
                 Transition{id, 0.0, std::nullopt, TransitionType::fade(), EasingCurve::linear},
                 EditCommand::AdjustVolume{id, 1.0, std::nullopt}};
         }},
    };
    for (const Case& c : cases) {
        Clip clip = makeClip(0, 6);
        c.setUp(clip);
        EffectInspectorState state(clip);
        c.edit(state);
        const std::vector<EditCommand> expected = c.expected(clip.id);
        EXPECT_EQ(state.buildEditCommands(), expected) << c.name;
        EXPECT_EQ(state.hasChanges(), !expected.empty()) << c.name;
    }
}

TEST(EffectInspectorStateTest, SendsAFadeThatEndsWithTheClipSoItStillFits) {
    // 1.3 + 10 - 10 comes back as 1.3000000000000007: sent as the plain sum,
    // the fade would end past the clip and a change of the level be refused.
    Clip clip = makeClip(10, 2, TrackType::audio);
    clip.fadeRange = TimeRange{1.3, 0.7};
    EffectInspectorState state(clip);
    state.setVolume(0.5);
    const std::vector<EditCommand> commands = state.buildEditCommands();
    ASSERT_EQ(commands.size(), 1u);
    const auto* volume = commands[0].getIf<EditCommand::AdjustVolume>();
    ASSERT_NE(volume, nullptr);
    ASSERT_TRUE(volume->fadeRange);
    const double offset = volume->fadeRange->startTime - clip.timeRange.startTime;
    EXPECT_LE(offset, 1.3);
    EXPECT_NEAR(offset, 1.3, 1e-12);
    EXPECT_LE(offset + volume->fadeRange->duration, clip.timeRange.duration);
}

TEST(EffectInspectorStateTest, RemovingASectionHidesItAndTellsOnlyOfRealChanges) {
    Clip clip = makeClip(0, 6);
    clip.opacity = 0.5;
    clip.rate = 2;
    EffectInspectorState state(clip);
    QSignalSpy opacity(&state, &EffectInspectorState::opacityChanged);
    QSignalSpy shown(&state, &EffectInspectorState::showOpacityChanged);
    QSignalSpy type(&state, &EffectInspectorState::transitionInTypeChanged);
    QSignalSpy fade(&state, &EffectInspectorState::fadeRangeChanged);

    state.setOpacity(0.5);
    state.setTransitionInType(TransitionType::fade());
    state.setFadeRange(std::nullopt);
    EXPECT_EQ(opacity.count() + type.count() + fade.count(), 0);

    // A direction is part of the type.
    state.setTransitionInType(TransitionType::push(Direction::left));
    state.setTransitionInType(TransitionType::push(Direction::left));
    state.setTransitionInType(TransitionType::push(Direction::up));
    EXPECT_EQ(type.count(), 2);

    state.removeSection(Section::opacity);
    EXPECT_EQ(state.appliedSections(), std::vector<Section>{Section::speed});
    EXPECT_FALSE(state.showOpacity());
    EXPECT_EQ(state.opacity(), 1.0);
    EXPECT_EQ(opacity.count(), 1);
    EXPECT_EQ(shown.count(), 1);
    // Moving the value back does not bring the section back.
    state.setOpacity(0.5);
    EXPECT_EQ(state.appliedSections(), std::vector<Section>{Section::speed});
}
