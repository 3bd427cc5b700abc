#include "presentation/views/inspectors/TextAnimationInspectorPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/support/Screenshot.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

QImage shoot(std::optional<TextAnimation> animation, const QString& name) {
    Clip clip = makeClip(0, 4, TrackType::text, "Title");
    clip.textAnimation = std::move(animation);
    test::ShownInspector<TextAnimationInspectorPopover, TextAnimationInspectorState> inspector(
        clip);
    test::settle();
    EXPECT_TRUE(inspector.popover.isVisible());
    EXPECT_EQ(inspector.popover.width(), 320);
    return test::saveScreenshot(inspector.popup, name);
}

} // namespace

TEST(TextAnimationInspectorScreenshotTest, AllPartsAndTheEmptyState) {
    TextAnimation animation;
    animation.entrance = TextEntranceType::slideIn(Direction::left);
    animation.exit = TextExitType::fadeOut();
    animation.loop = TextLoopType::pulse(1.2, 1.5);
    const QImage all = shoot(animation, QStringLiteral("text-animation-inspector.png"));
    EXPECT_LE(all.height(), 450 + 120);
    const QImage empty = shoot(std::nullopt, QStringLiteral("text-animation-inspector-empty.png"));
    EXPECT_LT(empty.height(), 300);
}
