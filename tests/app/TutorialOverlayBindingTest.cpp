#include "presentation/views/shell/TutorialOverlayBinding.h"

#include "app/TutorialRun.h"
#include "presentation/views/shell/TutorialStepIndicator.h"
#include "support/RunEventsUntil.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::runEventsUntil;

namespace {

// What the chat says last.
std::string lastReply(InstructionViewModel& instructions) {
    const std::vector<ChatMessage>& messages = instructions.chatHistory().messages();
    return messages.empty() ? std::string() : messages.back().content();
}

TEST(TutorialOverlayBindingTest, TheWholeTutorialFromWelcomeToTheEnd) {
    TutorialRun run;
    TutorialOverlay& overlay = run.overlay();
    TimelineViewModel& timeline = run.app.graph().timelineViewModel();

    // A first run opens on the welcome, over the whole window, which takes
    // no click then.
    ASSERT_EQ(run.state().currentStep(), TutorialStep::welcome);
    ASSERT_TRUE(overlay.isVisible());
    EXPECT_EQ(overlay.geometry(), run.view().rect());
    EXPECT_EQ(overlay.chatRect(), run.view().paneLayout().chat);
    EXPECT_EQ(run.clickAt(run.centreOf(run.view().timelinePane())), &overlay);
    ASSERT_NE(overlay.indicator(), nullptr);
    const TutorialStepDot& first = *overlay.indicator()->dots().front();
    EXPECT_TRUE(first.isLit());
    EXPECT_EQ(first.accessibleName(), "Step 1 of 6");

    // Get Started: the sample on the timeline, its instruction in the chat.
    run.getStarted();
    ASSERT_EQ(run.state().currentStep(), TutorialStep::splitChat);
    EXPECT_EQ(timeline.project().videoClips().size(), 1u);
    EXPECT_EQ(run.chatField().text(), "Split the clip at 3 seconds");
    EXPECT_EQ(run.clickAt(run.centreOf(run.view().previewPane())), &overlay);

    // The chat stays usable through the hole.
    run.chatField().clearFocus();
    QWidget* clicked = run.clickAt(run.centreOf(run.chatField()));
    EXPECT_EQ(clicked, &run.chatField());
    EXPECT_TRUE(run.chatField().hasFocus());
    QTest::keyClick(&run.chatField(), Qt::Key_End);
    QTest::keyClicks(&run.chatField(), " now");
    EXPECT_EQ(run.instructions().instructionText(), "Split the clip at 3 seconds now");
    const QRect card = overlay.card().geometry();
    EXPECT_EQ(card.y() + card.height(), std::max(run.view().paneLayout().inputBarMinY - 40, 80));

    // Each chat step takes what the chat bar sends.
    run.send();
    EXPECT_EQ(run.state().currentStep(), TutorialStep::fadeInChat);
    EXPECT_EQ(timeline.project().videoClips().size(), 2u);
    run.send();
    EXPECT_EQ(run.state().currentStep(), TutorialStep::addTextChat);
    run.send();
    ASSERT_EQ(run.state().currentStep(), TutorialStep::exportVideo);
    EXPECT_EQ(timeline.project().textClips().size(), 1u);
    EXPECT_EQ(run.chatField().text(), "Export the video");

    // The export is rendered for real and saved where the panel says.
    const std::filesystem::path saved = run.app.root / "My first edit.mov";
    run.app.dialogs->answerPanel({saved});
    run.send();
    ASSERT_TRUE(
        runEventsUntil([&] { return run.state().currentStep() == TutorialStep::exploreHint; },
                       std::chrono::seconds(60)));
    settle();
    EXPECT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(run.app.dialogs->panels().back().title, "Save Exported Video");
    EXPECT_EQ(run.chatField().text(), "What else can I do?");
    EXPECT_TRUE(overlay.indicator()->dots()[5]->isLit());

    run.send();
    ASSERT_EQ(run.state().currentStep(), TutorialStep::complete);
    EXPECT_EQ(overlay.indicator(), nullptr);
    EXPECT_TRUE(overlay.card().findChildren<TutorialStepDot*>().isEmpty());
    EXPECT_EQ(run.clickAt(run.centreOf(run.chatField())), &overlay);
    ASSERT_NE(overlay.closeButton(), nullptr);
    QTest::mouseClick(overlay.closeButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(run.state().currentStep());
    EXPECT_FALSE(overlay.isVisible());
    EXPECT_TRUE(run.app.graph().userDefaults().value("hasCompletedOnboarding").toBool());
    EXPECT_FALSE(lastReply(run.instructions()).empty());
    EXPECT_TRUE(run.app.errors().empty());
}

TEST(TutorialOverlayBindingTest, NothingIsShownWithoutAStepAndSkippingEndsIt) {
    TutorialRun run;
    ASSERT_NE(run.overlay().skipButton(), nullptr);
    QTest::mouseClick(run.overlay().skipButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(run.state().currentStep());
    EXPECT_FALSE(run.overlay().isVisible());
    EXPECT_FALSE(run.overlay().card().isVisible());
    EXPECT_NE(run.clickAt(run.centreOf(run.view().timelinePane())), &run.overlay());
    EXPECT_TRUE(run.app.graph().userDefaults().value("hasCompletedOnboarding").toBool());
}

} // namespace
