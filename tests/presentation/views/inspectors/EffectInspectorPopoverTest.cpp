#include "presentation/views/inspectors/EffectInspectorPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"

#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

using Inspector = test::ShownInspector<EffectInspectorPopover, EffectInspectorState>;

Clip clipWithEverything() {
    Clip clip = makeClip(0, 8);
    clip.transitionIn =
        TransitionEffect{1, TransitionType::push(Direction::down), EasingCurve::easeIn};
    clip.opacity = 0.29;
    clip.colorAdjust = ColorAdjust{0, 1, 2};
    clip.filter = FilterPreset{"noir", 0.7};
    clip.rate = 1.5;
    clip.volume = 0.5;
    clip.fadeRange = TimeRange{2, 1.5};
    return clip;
}

} // namespace

TEST(EffectInspectorPopoverTest, WithNothingToEditOffersTheChatAndOnlyCloses) {
    std::vector<Clip> clips = {makeClip(0, 4, TrackType::text, "Hello"),
                               makeClip(0, 4, TrackType::audio)};
    clips[0].opacity = 0.5;
    for (const Clip& clip : clips) {
        Inspector inspector(clip);
        EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("No effects applied")));
        EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Use chat to add effects")));
        EXPECT_TRUE(inspector.sections().isEmpty());
        EXPECT_FALSE(inspector.popover.applyButton()->isEnabled());
        EXPECT_EQ(inspector.popover.width(), 320);

        QTest::keyClick(&inspector.popover, Qt::Key_Return);
        EXPECT_TRUE(inspector.popover.isVisible());
        EXPECT_EQ(inspector.dismissals, 0);
        QTest::keyClick(&inspector.popover, Qt::Key_Escape);
        EXPECT_FALSE(inspector.popover.isVisible());
        EXPECT_EQ(inspector.dismissals, 1);
        EXPECT_TRUE(inspector.applied.empty());
    }
}

TEST(EffectInspectorPopoverTest, RemovingTheOnlySectionLeavesTheEmptyStateAndAppliesTheRemoval) {
    Clip clip = makeClip(0, 4);
    clip.opacity = 0.5;
    Inspector inspector(clip);
    EXPECT_EQ(inspector.sections(), QStringList{QStringLiteral("Remove opacity")});
    EXPECT_FALSE(inspector.popover.applyButton()->isEnabled());

    QAbstractButton* remove = test::button(inspector.popover, QStringLiteral("Remove opacity"));
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(remove->toolTip(), QStringLiteral("Remove opacity"));
    remove->click();
    test::settle();
    EXPECT_TRUE(inspector.sections().isEmpty());
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("No effects applied")));
    ASSERT_TRUE(inspector.popover.applyButton()->isEnabled());

    inspector.popover.applyButton()->click();
    ASSERT_EQ(inspector.applied.size(), 1u);
    EXPECT_EQ(inspector.applied[0], (std::vector<EditCommand>{EditCommand::Opacity{clip.id, 1.0}}));
    EXPECT_EQ(inspector.dismissals, 1);
    EXPECT_FALSE(inspector.popover.isVisible());
}

TEST(EffectInspectorPopoverTest, ListsEverySectionInOrderWithItsReadouts) {
    const Clip clip = clipWithEverything();
    Inspector inspector(clip);
    EXPECT_EQ(inspector.sections(),
              (QStringList{"Remove transitions", "Remove opacity", "Remove color adjust",
                           "Remove filter", "Remove speed", "Remove volume"}));
    const auto* list = inspector.popover.findChild<QScrollArea*>();
    ASSERT_NE(list, nullptr);
    EXPECT_LE(list->height(), 480);
    EXPECT_GT(list->widget()->sizeHint().height(), list->height()) << "six sections scroll";

    const std::vector<std::pair<QString, QString>> readouts = {
        {"Opacity", "29%"},
        {"Brightness", "+0.00"},
        {"Contrast", "1.0"},
        {"Saturation", "2.0"},
        {"Filter intensity", "70%"},
        {"Playback speed", "1.50x"},
        {"Volume level", "50%"},
        {"In duration", "1.0s"},
        // A side without a transition rests at the slider's low end but reads
        // what the form holds.
        {"Out duration", "0.0s"}};
    for (const auto& [name, text] : readouts) {
        InspectorSlider* control = test::slider(inspector.popover, name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->readoutText(), text) << name.toStdString();
    }
    EXPECT_EQ(test::slider(inspector.popover, "Out duration")->slider()->value(), 0);
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Fade: 0:02 - 0:03")));
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Changes clip duration")));
    EXPECT_EQ(test::menu(inspector.popover, "Filter")->currentText(), QStringLiteral("Noir"));
    EXPECT_EQ(test::menu(inspector.popover, "Type", 0)->currentText(), QStringLiteral("Push"));
    EXPECT_EQ(test::menu(inspector.popover, "Easing", 0)->currentText(), QStringLiteral("Ease In"));
    EXPECT_EQ(test::menu(inspector.popover, "Type", 1)->currentText(), QStringLiteral("Fade"));
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Down")));
    // Being shown changed nothing.
    EXPECT_FALSE(inspector.state->hasChanges());

    Clip darker = makeClip(0, 4);
    darker.colorAdjust = ColorAdjust{-0.5, 1, 1};
    Inspector second(darker);
    EXPECT_EQ(test::slider(second.popover, "Brightness")->readoutText(), QStringLiteral("-0.50"));
}

TEST(EffectInspectorPopoverTest, ControlsWriteOnlyWhatTheUserChanges) {
    Clip clip = clipWithEverything();
    clip.rate = 0.3;
    clip.filter = FilterPreset{"vintage", 0.7};
    Inspector inspector(clip);
    EffectInspectorState& state = *inspector.state;

    // Values off the sliders' grid or missing from a menu stay as stored.
    EXPECT_EQ(test::slider(inspector.popover, "Playback speed")->readoutText(),
              QStringLiteral("0.30x"));
    EXPECT_EQ(test::menu(inspector.popover, "Filter")->currentIndex(), -1);
    EXPECT_FALSE(state.hasChanges());

    // Choosing the kind it already has keeps a push's direction.
    test::pick(test::menu(inspector.popover, "Type", 0), QStringLiteral("Push"));
    EXPECT_EQ(state.transitionInType(), TransitionType::push(Direction::down));
    EXPECT_FALSE(state.hasChanges());

    // A slide chosen for a fade moves right, and says so.
    EXPECT_FALSE(test::showsText(inspector.popover, QStringLiteral("Right")));
    test::pick(test::menu(inspector.popover, "Type", 1), QStringLiteral("Slide"));
    EXPECT_EQ(state.transitionOutType(), TransitionType::slide(Direction::right));
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Right")));
    test::pick(test::menu(inspector.popover, "Type", 1), QStringLiteral("Zoom Out"));
    EXPECT_EQ(state.transitionOutType(), TransitionType::zoomOut());
    EXPECT_FALSE(test::showsText(inspector.popover, QStringLiteral("Right")));

    test::pick(test::menu(inspector.popover, "Filter"), QStringLiteral("Sepia"));
    EXPECT_EQ(state.filterName(), "sepia");
    EXPECT_EQ(state.filterIntensity(), 0.7);

    // A moved slider writes the value of its position exactly.
    test::slider(inspector.popover, "Opacity")->slider()->setValue(2);
    EXPECT_EQ(state.opacity(), 0.1);
    EXPECT_EQ(test::slider(inspector.popover, "Opacity")->readoutText(), QStringLiteral("10%"));
    test::slider(inspector.popover, "Playback speed")
        ->slider()
        ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(state.rate(), 0.5);
    QSlider* out = test::slider(inspector.popover, "Out duration")->slider();
    out->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(state.transitionOutDuration(), 5.0);
    out->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(state.transitionOutDuration(), 0.1);
    EXPECT_EQ(test::slider(inspector.popover, "Out duration")->readoutText(),
              QStringLiteral("0.1s"));

    QTest::keyClick(&inspector.popover, Qt::Key_Return);
    ASSERT_EQ(inspector.applied.size(), 1u);
    EXPECT_EQ(inspector.applied[0], state.buildEditCommands());
    EXPECT_EQ(inspector.dismissals, 1);
}
