#include "presentation/views/inspectors/TextInspectorPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/inspectors/FontFamilies.h"
#include "presentation/views/inspectors/FontPickerContent.h"
#include "presentation/views/kit/IconRegistry.h"
#include "support/RecordingLogger.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace vexel;
using vexel::testing::makeClip;

TEST(TextInspectorScreenshotTest, TheFormAndItsFontListWhileSearching) {
    QWidget window;
    AnchoredPopup popup(&window);
    const IconRegistry icons(std::make_shared<test::RecordingLogger>());
    Clip clip = makeClip(0, 4, TrackType::text, "Summer in the Mountains");
    clip.textStyle = TextStyle{64, "yellow", "black", 2, "DejaVu Serif", std::nullopt};
    clip.textPosition = TextPosition::top();
    auto state = std::make_shared<TextInspectorState>(clip, installedFontFamilies());
    TextInspectorPopover popover(state, icons, {}, {}, [] {});
    test::showInPopup(window, popup, popover);
    test::settle();
    ASSERT_TRUE(popover.isVisible());
    EXPECT_EQ(popover.width(), 320);
    const QImage form = test::saveScreenshot(popup, QStringLiteral("text-inspector.png"));
    EXPECT_LE(form.height(), 450 + 120);

    popover.fontButton()->click();
    ASSERT_NE(popover.fontPicker(), nullptr);
    QTest::keyClicks(popover.fontPicker()->searchField(), QStringLiteral("sans"));
    test::settle();
    ASSERT_TRUE(popover.fontPopup()->isVisible());
    EXPECT_GE(popover.fontPicker()->rowCount(), 1);
    test::saveScreenshot(*popover.fontPopup(), QStringLiteral("font-picker-search.png"));
}
