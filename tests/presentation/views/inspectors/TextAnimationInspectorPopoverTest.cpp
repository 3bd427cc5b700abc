#include "presentation/views/inspectors/TextAnimationInspectorPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"

#include <QFrame>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

using Inspector = test::ShownInspector<TextAnimationInspectorPopover, TextAnimationInspectorState>;

Clip animated(std::optional<TextAnimation> animation) {
    Clip clip = makeClip(0, 4, TrackType::text, "Title");
    clip.textAnimation = std::move(animation);
    return clip;
}

int dividers(QWidget& root) {
    int count = 0;
    for (QFrame* frame : root.findChildren<QFrame*>()) {
        count += frame->frameShape() == QFrame::HLine && frame->isVisibleTo(&root);
    }
    return count;
}

} // namespace

TEST(TextAnimationInspectorPopoverTest, WithoutAnimationOffersTheChatAndOnlyCloses) {
    Inspector inspector(animated(std::nullopt));
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("No animations applied")));
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Use chat to add animations")));
    EXPECT_FALSE(inspector.popover.applyButton()->isEnabled());
    QTest::keyClick(&inspector.popover, Qt::Key_Return);
    EXPECT_EQ(inspector.dismissals, 0);
    inspector.popover.cancelButton()->click();
    EXPECT_EQ(inspector.dismissals, 1);
    EXPECT_TRUE(inspector.applied.empty());
}

TEST(TextAnimationInspectorPopoverTest, KindsShowTheRowsTheyUseAndKeepTheRest) {
    TextAnimation animation;
    animation.entrance = TextEntranceType::slideIn(Direction::up);
    animation.exit = TextExitType::fadeOut();
    animation.loop = TextLoopType::pulse(1.5, 8);
    Inspector inspector(animated(animation));
    TextAnimationInspectorState& state = *inspector.state;
    EXPECT_EQ(inspector.sections(), (QStringList{"Remove entrance", "Remove exit", "Remove loop"}));
    EXPECT_EQ(dividers(inspector.popover), 2);

    // A stored interval beyond the slider reads as stored and stays.
    EXPECT_EQ(test::slider(inspector.popover, "Pulse interval")->readoutText(),
              QStringLiteral("8.0s"));
    EXPECT_EQ(test::slider(inspector.popover, "Pulse scale")->readoutText(), QStringLiteral("1.5"));
    EXPECT_FALSE(state.hasChanges());
    EXPECT_EQ(test::menu(inspector.popover, "Direction", 0)->currentText(), QStringLiteral("Up"));
    EXPECT_EQ(test::menu(inspector.popover, "Entrance easing")->currentText(),
              QStringLiteral("easeOut"));

    // Fade In has no direction; Slide In again finds the one chosen before.
    QWidget* entranceDirection = test::menu(inspector.popover, "Direction", 0);
    QWidget* exitDirection = test::menu(inspector.popover, "Direction", 1);
    EXPECT_TRUE(entranceDirection->isVisibleTo(&inspector.popover));
    EXPECT_FALSE(exitDirection->isVisibleTo(&inspector.popover));
    test::pick(test::menu(inspector.popover, "Entrance"), QStringLiteral("Fade In"));
    EXPECT_FALSE(entranceDirection->isVisibleTo(&inspector.popover));
    test::pick(test::menu(inspector.popover, "Entrance"), QStringLiteral("Slide In"));
    EXPECT_TRUE(entranceDirection->isVisibleTo(&inspector.popover));
    EXPECT_EQ(test::menu(inspector.popover, "Direction", 0)->currentText(), QStringLiteral("Up"));
    EXPECT_FALSE(state.hasChanges());

    // None keeps the section with its header and type only.
    QWidget* easing = test::menu(inspector.popover, "Entrance easing");
    test::pick(test::menu(inspector.popover, "Entrance"), QStringLiteral("None"));
    EXPECT_EQ(state.entranceKind(), std::nullopt);
    EXPECT_FALSE(entranceDirection->isVisibleTo(&inspector.popover));
    EXPECT_FALSE(easing->isVisibleTo(&inspector.popover));
    EXPECT_EQ(inspector.sections().size(), 3);
    EXPECT_TRUE(inspector.popover.applyButton()->isEnabled());

    // The loop's kinds swap their slider rows and keep their numbers.
    test::pick(test::menu(inspector.popover, "Loop"), QStringLiteral("Bounce"));
    QWidget* pulseScale = test::slider(inspector.popover, "Pulse scale");
    QWidget* amplitude = test::slider(inspector.popover, "Bounce amplitude");
    EXPECT_FALSE(pulseScale->isVisibleTo(&inspector.popover));
    EXPECT_TRUE(amplitude->isVisibleTo(&inspector.popover));
    EXPECT_EQ(test::slider(inspector.popover, "Bounce amplitude")->readoutText(),
              QStringLiteral("0.10"));
    test::pick(test::menu(inspector.popover, "Loop"), QStringLiteral("Pulse"));
    EXPECT_EQ(state.pulseInterval(), 8);

    // Removing every section leaves the empty state; Apply still takes the
    // animation off.
    for (const QString& name : inspector.sections()) {
        test::button(inspector.popover, name)->click();
        test::settle();
    }
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("No animations applied")));
    inspector.popover.applyButton()->click();
    ASSERT_EQ(inspector.applied.size(), 1u);
    EXPECT_EQ(inspector.applied[0],
              (std::vector<EditCommand>{EditCommand::SetTextAnimation{
                  inspector.state->originalClip().id, std::nullopt, std::nullopt, std::nullopt,
                  EasingCurve::easeOut, EasingCurve::easeIn}}));
    EXPECT_EQ(inspector.dismissals, 1);
}
