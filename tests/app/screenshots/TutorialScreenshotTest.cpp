#include "presentation/views/shell/TutorialOverlay.h"

#include "app/TutorialRun.h"
#include "app/screenshots/ScreenGrab.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

namespace {

// The dimmed layer's colour over the window's own, where nothing is drawn.
void expectDimmedAt(TutorialRun& run, QPoint point) {
    const QImage picture = run.window().grab().toImage();
    const QPoint inWindow = run.view().mapTo(&run.window(), point);
    EXPECT_LT(QColor(picture.pixel(inWindow)).lightness(), 20);
}

TEST(TutorialScreenshotTest, TheTutorialsCardsOverTheWindow) {
    TutorialRun run;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&run.window()));
    ASSERT_EQ(run.state().currentStep(), TutorialStep::welcome);
    // Beside the preview's name tag, away from the card.
    expectDimmedAt(run, run.view().previewPane().mapTo(&run.view(), QPoint(40, 80)));
    saveScreen(run.window(), QStringLiteral("tutorial-welcome.png"));

    run.getStarted();
    ASSERT_EQ(run.state().currentStep(), TutorialStep::splitChat);
    saveScreen(run.window(), QStringLiteral("tutorial-split.png"));

    run.send();
    run.send();
    run.send();
    ASSERT_EQ(run.state().currentStep(), TutorialStep::exportVideo);
    saveScreen(run.window(), QStringLiteral("tutorial-export.png"));

    run.state().setCurrentStep(TutorialStep::complete);
    settle();
    saveScreen(run.window(), QStringLiteral("tutorial-complete.png"));
}

} // namespace
