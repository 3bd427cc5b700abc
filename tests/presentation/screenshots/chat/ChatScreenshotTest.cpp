// The chat column at its named states, drawn on a real X server.

#include "presentation/views/chat/InstructionInputView.h"

#include "data/media/FileStager.h"
#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ChatBar.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/chat/ChatBubble.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/SendButton.h"
#include "support/AnthropicEvents.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;
using namespace vexel::test::anthropic;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

const Clip intro = makeClip(0, 5, TrackType::video, "Intro");

struct ChatScreenshotTest : ::testing::Test {
    ChatBar bar{Project{{makeTrack(TrackType::video, "Video 1", {intro})}, 3600}};
    IconRegistry icons{bar.harness.logger};
    InstructionInputView view{bar.viewModel, icons};

    ChatScreenshotTest() {
        view.resize(320, 640);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void user(const std::string& text) {
        bar.viewModel.chatHistory().appendMessage(
            ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{text}}));
    }
    void assistant(const std::string& text) {
        bar.viewModel.chatHistory().appendAssistantMessage(text);
    }
    void settleView() {
        settle();
        // Bubbles replaced in place go on the next loop turn.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle();
    }
};

} // namespace

TEST_F(ChatScreenshotTest, Conversation) {
    user("Trim the intro to 5 seconds");
    assistant("Trimmed Intro to 5 seconds.");
    user("Add a fade in and make the title yellow");
    assistant("Added a 0.5 s fade-in to Intro.\nChanged the title's colour to yellow.");
    bar.viewModel.chatHistory().appendErrorMessage(
        "Request limit reached. Please try again shortly.", "Split the intro");
    assistant("Exported video to /home/user/Movies/summer-holiday-in-the-mountains-final-cut.mp4");
    bar.harness.timeline.selectClip(intro.id);
    bar.viewModel.setInstructionText("Split the intro at 2 seconds");
    settleView();
    const QImage shot = saveScreenshot(view, "chat-conversation.png");
    EXPECT_EQ(view.historyView()->bubbles().size(), 6u);
    // The user's bubble is drawn in the accent colour near the right edge.
    ChatBubble* first = view.historyView()->bubbles().front();
    const QPoint inside = first->mapTo(&view, QPoint(first->width() - 6, first->height() / 2));
    EXPECT_EQ(shot.pixelColor(inside * shot.devicePixelRatio()), QColor(0x00, 0x61, 0xFF));
}

TEST_F(ChatScreenshotTest, BusyWhileExporting) {
    user("Export the video");
    bar.server.enqueue(ScriptedResponse::eventStream()
                           .write(messageStart() + textStart(0) + textDelta(0, "Exporting"))
                           .waitForGate("done"));
    bar.viewModel.setInstructionText("Export the video as a movie");
    bar.viewModel.startSubmit();
    bar.runUntil([&] { return view.historyView()->bubbles().size() == 3; });
    bar.viewModel.exportCoordinator().setExportProgress(
        ExportProgress{ExportProgress::Phase::transferring, 0.4});
    settleView();
    saveScreenshot(view, "chat-busy-export.png");
    EXPECT_TRUE(view.busyCluster()->isVisible());
    bar.viewModel.cancel();
    bar.server.openGate("done");
    bar.waitUntilIdle();
}

TEST_F(ChatScreenshotTest, TutorialPulse) {
    TutorialState state;
    TutorialOrchestrator orchestrator(state, bar.viewModel.chatHistory(), bar.harness.timeline,
                                      std::make_shared<FileStager>(), ResourceBundle({}),
                                      bar.harness.logger);
    bar.viewModel.setTutorialOrchestrator(&orchestrator);
    state.setCurrentStep(TutorialStep::splitChat);
    bar.viewModel.setInstructionText(*orchestrator.config(TutorialStep::splitChat).prefillText);
    settleView();
    saveScreenshot(view, "chat-tutorial-pulse.png");
    EXPECT_TRUE(view.sendButton()->isHighlighted());
    EXPECT_TRUE(view.historyView()->isShowingSuggestions());
}
