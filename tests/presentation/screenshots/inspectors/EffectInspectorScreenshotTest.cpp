#include "presentation/views/inspectors/EffectInspectorPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/support/Screenshot.h"

#include <QScrollArea>
#include <gtest/gtest.h>

#include <memory>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

QImage shoot(const Clip& clip, const QString& name) {
    test::ShownInspector<EffectInspectorPopover, EffectInspectorState> inspector(clip);
    test::settle();
    EXPECT_TRUE(inspector.popover.isVisible());
    EXPECT_EQ(inspector.popover.width(), 320);
    return test::saveScreenshot(inspector.popup, name);
}

} // namespace

TEST(EffectInspectorScreenshotTest, AllSectionsAndTheEmptyState) {
    Clip clip = makeClip(0, 8);
    clip.transitionIn =
        TransitionEffect{1, TransitionType::push(Direction::left), EasingCurve::easeInOut};
    clip.transitionOut = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    clip.opacity = 0.8;
    clip.colorAdjust = ColorAdjust{0.1, 1.2, 0.8};
    clip.filter = FilterPreset{"sepia", 0.6};
    clip.rate = 1.5;
    clip.volume = 0.7;
    clip.fadeRange = TimeRange{2, 1.5};
    const QImage all = shoot(clip, QStringLiteral("effect-inspector-all-sections.png"));
    // The list stops growing at 480 and scrolls; the buttons stay below it.
    EXPECT_GT(all.height(), 480);
    EXPECT_LT(all.height(), 480 + 120);

    const QImage empty = shoot(makeClip(0, 4, TrackType::text, "Title"),
                               QStringLiteral("effect-inspector-empty.png"));
    EXPECT_LT(empty.height(), 300);
}
