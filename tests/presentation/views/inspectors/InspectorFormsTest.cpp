#include "presentation/views/inspectors/InspectorForms.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/support/TimelinePanelHarness.h"
#include "presentation/views/inspectors/EffectInspectorPopover.h"
#include "presentation/views/inspectors/TextAnimationInspectorPopover.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "support/RunEventsUntil.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;
using vexel::testing::runEventsUntil;

namespace {

// The timeline panel over the real edit engine, with the inspectors' real
// forms, on a project of one clip.
struct Screen {
    explicit Screen(const Clip& clip)
        : harness(Project({makeTrack(clip.trackType, "Track", {clip})}, 3600), false,
                  QSize(1000, 320)) {}

    // The form on show; one closed before may not be deleted yet.
    template <class Form> Form& form() {
        for (Form* form : harness.panel->findChildren<Form*>()) {
            if (form->isVisible()) {
                return *form;
            }
        }
        ADD_FAILURE() << "no form on show";
        throw std::logic_error("no form on show");
    }

    const Clip& stored(const Uuid& id) {
        const Clip* clip = harness.timeline().project().findClip(id);
        EXPECT_NE(clip, nullptr);
        return *clip;
    }

    // Applies the open form and waits until the edit has shown, or failed.
    void applyUntil(InspectorPopover& form, const std::function<bool()>& done) {
        form.applyButton()->click();
        EXPECT_EQ(harness.panel->inspectors().openInspector(), std::nullopt) << "closed on Apply";
        EXPECT_TRUE(
            runEventsUntil([&] { return done() || harness.banner().currentError().has_value(); }));
        test::settle();
    }

    test::TimelinePanelHarness harness;
};

} // namespace

TEST(InspectorFormsTest, EffectsApplyAsOneUndoStep) {
    Clip clip = makeClip(0, 6);
    clip.rate = 2;
    clip.opacity = 0.8;
    clip.volume = 0.8;
    Screen screen(clip);
    screen.harness.panel->clipActions(TrackType::video).onEditEffects(clip.id);
    auto& form = screen.form<EffectInspectorPopover>();
    test::slider(form, "Volume level")->slider()->setValue(8);
    test::slider(form, "Opacity")->slider()->setValue(10);
    test::slider(form, "Playback speed")->slider()->setValue(5);
    EXPECT_EQ(form.state().buildEditCommands(),
              (std::vector<EditCommand>{EditCommand::Speed{clip.id, 1.5},
                                        EditCommand::Opacity{clip.id, 0.5},
                                        EditCommand::AdjustVolume{clip.id, 0.4, std::nullopt}}));
    screen.applyUntil(form, [&] { return screen.stored(clip.id).rate == 1.5; });
    EXPECT_EQ(screen.harness.banner().currentError(), std::nullopt);
    EXPECT_EQ(screen.stored(clip.id).opacity, 0.5);
    EXPECT_EQ(screen.stored(clip.id).volume, 0.4);

    screen.harness.timeline().undo();
    EXPECT_EQ(screen.stored(clip.id), clip);
    EXPECT_FALSE(screen.harness.timeline().canUndo());
}

TEST(InspectorFormsTest, AVolumeChangeKeepsTheFadeWhereItWas) {
    const std::vector<std::pair<TimeRange, TimeRange>> cases = {
        // clip on the timeline, fade from the clip's start
        {{10, 5}, {0, 2}},
        // A fade that ends with the clip, whose offset does not survive a
        // plain trip through timeline time: 1.3 + 10 - 10 is 1.3000000000000007.
        {{10, 2}, {1.3, 0.7}},
    };
    for (const auto& [range, fade] : cases) {
        Clip clip = makeClip(range.startTime, range.duration, TrackType::audio);
        clip.volume = 0.8;
        clip.fadeRange = fade;
        Screen screen(clip);
        screen.harness.panel->clipActions(TrackType::audio).onEditEffects(clip.id);
        auto& form = screen.form<EffectInspectorPopover>();
        test::slider(form, "Volume level")->slider()->setValue(8);
        screen.applyUntil(form, [&] { return screen.stored(clip.id).volume == 0.4; });
        EXPECT_EQ(screen.harness.banner().currentError(), std::nullopt);
        ASSERT_TRUE(screen.stored(clip.id).fadeRange);
        EXPECT_NEAR(screen.stored(clip.id).fadeRange->startTime, fade.startTime, 1e-12);
        EXPECT_EQ(screen.stored(clip.id).fadeRange->duration, fade.duration);
    }
}

TEST(InspectorFormsTest, EachTransitionSideKeepsItsOwnTypeAndEasing) {
    Clip clip = makeClip(0, 3);
    clip.transitionIn = TransitionEffect{2, TransitionType::fade(), EasingCurve::linear};
    clip.transitionOut = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    Screen screen(clip);
    screen.harness.panel->clipActions(TrackType::video).onEditEffects(clip.id);
    auto& form = screen.form<EffectInspectorPopover>();
    // The direction comes with the type and is not chosen in the form.
    form.state().setTransitionInType(TransitionType::push(Direction::left));
    test::slider(form, "In duration")->slider()->setValue(4);
    test::pick(test::menu(form, "Type", 1), QStringLiteral("Wipe"));
    test::pick(test::menu(form, "Easing", 1), QStringLiteral("Ease Out"));
    test::slider(form, "Out duration")->slider()->setValue(19);
    // Growing the fade-out first would not fit the 3 s clip.
    screen.applyUntil(form,
                      [&] { return screen.stored(clip.id).transitionIn != clip.transitionIn; });
    EXPECT_EQ(screen.harness.banner().currentError(), std::nullopt);
    EXPECT_EQ(screen.stored(clip.id).transitionIn,
              (TransitionEffect{0.5, TransitionType::push(Direction::left), EasingCurve::linear}));
    EXPECT_EQ(screen.stored(clip.id).transitionOut,
              (TransitionEffect{2, TransitionType::wipe(Direction::right), EasingCurve::easeOut}));

    screen.harness.timeline().undo();
    EXPECT_EQ(screen.stored(clip.id), clip);
}

TEST(InspectorFormsTest, EffectsOnAClipDeletedMeanwhileShowTheirTextAndChangeNothing) {
    Clip clip = makeClip(0, 6);
    clip.opacity = 0.5;
    Screen screen(clip);
    screen.harness.panel->clipActions(TrackType::video).onEditEffects(clip.id);
    auto& form = screen.form<EffectInspectorPopover>();
    test::awaitTask(screen.harness.timeline().executeCommand(EditCommand::RemoveClip{clip.id}));
    const Project before = screen.harness.timeline().project();

    test::slider(form, "Opacity")->slider()->setValue(4);
    screen.applyUntil(form, [] { return false; });
    EXPECT_EQ(screen.harness.awaitBanner(), "Failed to update effects");
    EXPECT_EQ(screen.harness.timeline().project(), before);
    screen.harness.timeline().undo();
    EXPECT_EQ(screen.stored(clip.id), clip) << "the delete is still the last step";
}

TEST(InspectorFormsTest, RemovingOneAnimationPartKeepsTheOtherInOneUndoStep) {
    Clip clip = makeClip(0, 4, TrackType::text, "Title");
    TextAnimation animation;
    animation.entrance = TextEntranceType::slideIn(Direction::left);
    animation.exit = TextExitType::fadeOut();
    animation.exitEasing = EasingCurve::easeInOut;
    clip.textAnimation = animation;
    Screen screen(clip);
    screen.harness.panel->textActions().onEditTextEffects(clip.id);
    auto& form = screen.form<TextAnimationInspectorPopover>();
    test::button(form, QStringLiteral("Remove entrance"))->click();
    test::settle();
    screen.applyUntil(form,
                      [&] { return !screen.stored(clip.id).textAnimation->entrance.has_value(); });
    EXPECT_EQ(screen.harness.banner().currentError(), std::nullopt);
    ASSERT_TRUE(screen.stored(clip.id).textAnimation);
    EXPECT_EQ(screen.stored(clip.id).textAnimation->entrance, std::nullopt);
    EXPECT_EQ(screen.stored(clip.id).textAnimation->exit, TextExitType::fadeOut());
    EXPECT_EQ(screen.stored(clip.id).textAnimation->exitEasing, EasingCurve::easeInOut);

    screen.harness.timeline().undo();
    EXPECT_EQ(screen.stored(clip.id), clip);
    EXPECT_FALSE(screen.harness.timeline().canUndo());
}

TEST(InspectorFormsTest, TheTextFormEditsAndDeletesItsTitle) {
    const Clip clip = makeClip(0, 4, TrackType::text, "Title");
    Screen screen(clip);
    screen.harness.panel->textActions().onEditOverlay(clip.id);
    auto& edit = screen.form<TextInspectorPopover>();
    test::pick(test::menu(edit, "Font size"), QStringLiteral("96"));
    screen.applyUntil(edit, [&] { return screen.stored(clip.id).textStyle.has_value(); });
    ASSERT_TRUE(screen.stored(clip.id).textStyle);
    EXPECT_EQ(screen.stored(clip.id).textStyle->fontSize, 96);
    EXPECT_EQ(screen.stored(clip.id).textStyle->boxWidth, std::nullopt);

    screen.harness.panel->textActions().onEditOverlay(clip.id);
    auto& again = screen.form<TextInspectorPopover>();
    EXPECT_EQ(test::menu(again, "Font size")->currentText(), QStringLiteral("96"));
    ASSERT_NE(again.deleteButton(), nullptr);
    again.deleteButton()->click();
    EXPECT_EQ(screen.harness.panel->inspectors().openInspector(), std::nullopt);
    EXPECT_TRUE(runEventsUntil(
        [&] { return screen.harness.timeline().project().findClip(clip.id) == nullptr; }));
    EXPECT_EQ(screen.harness.banner().currentError(), std::nullopt);
}
