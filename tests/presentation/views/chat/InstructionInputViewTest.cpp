// The chat column over the real instruction road: the view model, the
// assistant client and loop over a loopback backend, the timeline and the
// edit engine.
#include "presentation/views/chat/InstructionInputView.h"

#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FileStager.h"
#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ChatBar.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/viewmodels/TutorialHooks.h"
#include "presentation/views/chat/BubbleText.h"
#include "presentation/views/chat/ChatBubble.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/ExportProgressStrip.h"
#include "presentation/views/chat/SelectionHintBar.h"
#include "presentation/views/chat/SendButton.h"
#include "presentation/views/chat/SuggestionChip.h"
#include "presentation/views/chat/TargetClipChip.h"
#include "presentation/views/kit/Theme.h"
#include "support/AnthropicEvents.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using namespace vexel::test::anthropic;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

const Clip intro = makeClip(0, 5, TrackType::video, "Intro");
const Clip song = makeClip(0, 5, TrackType::audio, "song.mp3");

Project introAndSong() {
    return Project{{makeTrack(TrackType::video, "Video 1", {intro}),
                    makeTrack(TrackType::audio, "Audio 1", {song})},
                   3600};
}

// The chat column in a window of its own, beside another field that can take
// the focus away from it.
struct ChatColumn {
    explicit ChatColumn(Project project, std::shared_ptr<MediaLoader> loader =
                                             std::make_shared<vexel::testing::FakeMediaLoader>())
        : bar(
              std::move(project), [](std::stop_token) { return std::string("token"); },
              std::move(loader)) {
        auto* row = new QHBoxLayout(&window);
        view = new InstructionInputView(bar.viewModel, icons);
        elsewhere = new QLineEdit;
        row->addWidget(view, 1);
        row->addWidget(elsewhere);
        window.resize(460, 640);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    std::vector<QString> bubbleTexts() const {
        std::vector<QString> texts;
        for (ChatBubble* bubble : view->historyView()->bubbles()) {
            texts.push_back(bubble->text());
        }
        return texts;
    }

    void typeAndSend(const QString& text) {
        QTest::keyClicks(view->inputField(), text);
        QTest::mouseClick(view->sendButton(), Qt::LeftButton);
    }

    ChatBar bar;
    IconRegistry icons{bar.harness.logger};
    QWidget window;
    InstructionInputView* view = nullptr;
    QLineEdit* elsewhere = nullptr;
};

} // namespace

TEST(InstructionInputViewTest, BlankInputSendsNothingAndAStreamedReplyGrowsOnlyItsOwnBubble) {
    ChatColumn chat(introAndSong());
    QTest::keyClicks(chat.view->inputField(), QStringLiteral("   "));
    EXPECT_EQ(chat.bar.viewModel.instructionText(), "   ");
    EXPECT_FALSE(chat.view->sendButton()->isEnabled());
    QTest::keyClick(chat.view->inputField(), Qt::Key_Return);
    chat.bar.waitUntilIdle();
    EXPECT_EQ(chat.view->inputField()->text(), QStringLiteral("   "));
    EXPECT_TRUE(chat.bar.viewModel.chatHistory().messages().empty());
    EXPECT_EQ(chat.bar.server.requestCount(), 0u);

    chat.view->inputField()->clear();
    QTest::keyClicks(chat.view->inputField(), QStringLiteral("Hello"));
    EXPECT_TRUE(chat.view->sendButton()->isEnabled());
    chat.bar.server.enqueue(
        ScriptedResponse::eventStream().write(textReply("Hi there.", "end_turn")));
    QTest::mouseClick(chat.view->sendButton(), Qt::LeftButton);
    chat.bar.waitUntilIdle();
    EXPECT_EQ(chat.bubbleTexts(), (std::vector<QString>{"Hello", "Hi there."}));
    EXPECT_EQ(chat.view->inputField()->text(), QString());

    // Every bubble there is now stays the same widget while a reply streams.
    int destroyed = 0;
    for (ChatBubble* bubble : chat.view->historyView()->bubbles()) {
        QObject::connect(bubble, &QObject::destroyed, [&destroyed] { ++destroyed; });
    }
    const std::vector<ChatBubble*> before = chat.view->historyView()->bubbles();
    chat.bar.server.enqueue(
        ScriptedResponse::eventStream()
            .write(messageStart() + textStart(0) + textDelta(0, "Work"))
            .waitForGate("rest")
            .write(textDelta(0, "ing on it.") + blockStop(0) + messageEnd("end_turn")));
    QTest::keyClicks(chat.view->inputField(), QStringLiteral("Split it"));
    QTest::keyClick(chat.view->inputField(), Qt::Key_Return);
    chat.bar.runUntil([&] { return chat.bubbleTexts().size() == 4; });
    ChatBubble* streaming = chat.view->historyView()->bubbles().back();
    QObject::connect(streaming, &QObject::destroyed, [&destroyed] { ++destroyed; });
    EXPECT_EQ(streaming->text(), QStringLiteral("Work"));
    EXPECT_EQ(streaming->role(), ChatMessage::Role::assistant);
    const int shortHeight = streaming->textView()->heightForWidth(70);

    chat.bar.server.openGate("rest");
    chat.bar.waitUntilIdle();
    const std::vector<ChatBubble*> after = chat.view->historyView()->bubbles();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[3], streaming);
    EXPECT_EQ(streaming->text(), QStringLiteral("Working on it."));
    EXPECT_GT(streaming->textView()->heightForWidth(70), shortHeight);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(chat.bubbleTexts(),
              (std::vector<QString>{"Hello", "Hi there.", "Split it", "Working on it."}));

    // Sides and colours: the user's on the right in the accent colour.
    const QColor accent = toQColor(VexelColors::accent);
    EXPECT_EQ(after[2]->backgroundColor(), accent);
    EXPECT_GT(after[2]->textView()->x(), after[3]->textView()->x());
    EXPECT_EQ(after[3]->backgroundColor(), toQColor(VexelColors::surface800));
    for (ChatBubble* bubble : after) {
        EXPECT_TRUE(bubble->retryButton()->isHidden());
        // The far side keeps its margin.
        EXPECT_LE(bubble->textView()->width(), bubble->width() - ChatBubble::farSideMargin);
    }
}

TEST(InstructionInputViewTest, AFailedInstructionIsAnErrorBubbleWhoseRetrySendsItAgain) {
    ChatColumn chat(introAndSong());
    chat.bar.server.enqueue(ScriptedResponse::plain(500));
    chat.typeAndSend(QStringLiteral("Trim the intro"));
    chat.bar.waitUntilIdle();
    ASSERT_EQ(chat.bubbleTexts().size(), 2u);
    ChatBubble* notice = chat.view->historyView()->bubbles().back();
    EXPECT_TRUE(notice->isError());
    EXPECT_TRUE(notice->retryButton()->isVisible());
    EXPECT_EQ(notice->retryButton()->text(), QStringLiteral("Retry"));
    EXPECT_EQ(notice->backgroundColor(), toQColor(VexelColors::error.withOpacity(0.15)));
    EXPECT_EQ(chat.bar.server.requestCount(), 1u);

    chat.view->inputField()->clear();
    chat.bar.server.enqueue(
        ScriptedResponse::eventStream().write(textReply("Trimmed.", "end_turn")));
    QTest::mouseClick(notice->retryButton(), Qt::LeftButton);
    chat.bar.waitUntilIdle();
    EXPECT_EQ(chat.bar.server.requestCount(), 2u);
    const std::vector<QString> texts = chat.bubbleTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2], QStringLiteral("Trim the intro"));
    EXPECT_EQ(texts[3], QStringLiteral("Trimmed."));
    EXPECT_TRUE(notice->isError()); // the notice stays, still marked
    EXPECT_FALSE(chat.view->historyView()->bubbles().back()->isError());

    // A notice whose instruction is not known any more does nothing.
    chat.bar.viewModel.chatHistory().setRetryableInstructions({});
    QTest::mouseClick(notice->retryButton(), Qt::LeftButton);
    chat.bar.waitUntilIdle();
    EXPECT_EQ(chat.bar.server.requestCount(), 2u);
    EXPECT_EQ(chat.bar.viewModel.instructionText(), "");
}

TEST(InstructionInputViewTest, WhileBusyTheFieldIsDisabledAndCancelSaysCancelled) {
    ChatColumn chat(introAndSong());
    EXPECT_TRUE(chat.view->busyCluster()->isHidden());
    chat.bar.server.enqueue(ScriptedResponse::eventStream()
                                .write(messageStart() + textStart(0) + textDelta(0, "Trimm"))
                                .waitForGate("never"));
    chat.typeAndSend(QStringLiteral("Trim the intro"));
    chat.bar.runUntil([&] { return chat.bubbleTexts().size() == 2; });
    EXPECT_TRUE(chat.view->busyCluster()->isVisible());
    EXPECT_EQ(chat.view->busyLabel()->text(), QStringLiteral("Processing..."));
    EXPECT_FALSE(chat.view->inputField()->isEnabled());
    EXPECT_TRUE(chat.view->sendButton()->isHidden());
    EXPECT_EQ(chat.view->cancelButton()->accessibleName(), QStringLiteral("Cancel instruction"));

    QTest::mouseClick(chat.view->cancelButton(), Qt::LeftButton);
    chat.bar.runUntil([&] { return chat.bubbleTexts().back() == QStringLiteral("Cancelled."); });
    EXPECT_TRUE(chat.view->busyCluster()->isHidden());
    EXPECT_TRUE(chat.view->sendButton()->isVisible());
    EXPECT_TRUE(chat.view->inputField()->isEnabled());
    chat.bar.server.openGate("never");
}

TEST(InstructionInputViewTest, TheSelectedClipShowsAsHintAndChipAndTheHintGoesForGood) {
    ChatColumn chat(introAndSong());
    EXPECT_TRUE(chat.view->hintBar()->isHidden());
    EXPECT_TRUE(chat.view->targetChip()->isHidden());

    chat.bar.harness.timeline.selectClip(intro.id);
    EXPECT_TRUE(chat.view->hintBar()->isVisible());
    EXPECT_EQ(chat.view->hintBar()->text(),
              QStringLiteral("Selected: Intro \u2014 Right-click or Ctrl+K for actions"));
    EXPECT_TRUE(chat.view->targetChip()->isVisible());
    EXPECT_EQ(chat.view->targetChip()->text(), QStringLiteral("@Intro"));
    EXPECT_EQ(chat.view->targetChip()->accessibleName(), QStringLiteral("Target clip: Intro"));
    // The hint sits above the chat bar.
    EXPECT_LT(chat.view->hintBar()->y(), chat.view->inputBar()->y());

    QTest::mouseClick(chat.view->hintBar()->dismissButton(), Qt::LeftButton);
    EXPECT_TRUE(chat.bar.settings.value("hasSeenSelectionHint").toBool());
    EXPECT_TRUE(chat.view->hintBar()->isHidden());
    EXPECT_TRUE(chat.view->targetChip()->isVisible());

    // Not for another clip, nor in a new chat column (a restart).
    chat.bar.harness.timeline.selectClip(song.id);
    EXPECT_TRUE(chat.view->hintBar()->isHidden());
    EXPECT_EQ(chat.view->targetChip()->text(), QStringLiteral("@song.mp3"));
    InstructionInputView again(chat.bar.viewModel, chat.icons);
    again.show();
    EXPECT_TRUE(again.hintBar()->isHidden());
    EXPECT_TRUE(again.targetChip()->isVisible());

    chat.bar.harness.timeline.setSelectedClipId(std::nullopt);
    EXPECT_TRUE(chat.view->targetChip()->isHidden());
}

TEST(InstructionInputViewTest, ExportProgressShowsItsPhaseAndFraction) {
    ChatColumn chat(introAndSong());
    ExportCoordinator& exports = chat.bar.viewModel.exportCoordinator();
    EXPECT_TRUE(chat.view->progressStrip()->isHidden());
    const struct {
        ExportProgress progress;
        QString text;
    } cases[] = {
        {{ExportProgress::Phase::preparing, 0}, "Preparing..."},
        {{ExportProgress::Phase::transferring, 0.4}, "Exporting..."},
        {{ExportProgress::Phase::finalizing, 1}, "Finalizing..."},
    };
    for (const auto& c : cases) {
        exports.setExportProgress(c.progress);
        EXPECT_TRUE(chat.view->progressStrip()->isVisible());
        EXPECT_EQ(chat.view->progressStrip()->text(), c.text);
        EXPECT_DOUBLE_EQ(chat.view->progressStrip()->fraction(), c.progress.fraction);
    }
    exports.setExportProgress(std::nullopt);
    EXPECT_TRUE(chat.view->progressStrip()->isHidden());
}

TEST(InstructionInputViewTest, AnEmptyChatOffersSuggestionsThatFillTheInputWithoutSending) {
    ChatColumn chat(Project{{makeTrack(TrackType::audio, "Audio 1", {})}, 3600});
    ChatHistoryView& history = *chat.view->historyView();
    ASSERT_TRUE(history.isShowingSuggestions());
    std::vector<QString> texts;
    for (SuggestionChip* chip : history.chips()) {
        texts.push_back(chip->suggestion());
    }
    EXPECT_EQ(texts, (std::vector<QString>{"Add a video file to get started",
                                           "Drag and drop media files onto the timeline",
                                           "Add a text overlay"}));
    EXPECT_NE(history.findChild<QLabel*>(), nullptr);
    EXPECT_EQ(history.findChild<QLabel*>()->text(), QStringLiteral("Try saying:"));

    QTest::keyClicks(chat.view->inputField(), QStringLiteral("old text"));
    QTest::mouseClick(history.chips()[1], Qt::LeftButton);
    EXPECT_EQ(chat.view->inputField()->text(),
              QStringLiteral("Drag and drop media files onto the timeline"));
    chat.bar.waitUntilIdle();
    EXPECT_TRUE(chat.bar.viewModel.chatHistory().messages().empty());
    EXPECT_EQ(chat.bar.server.requestCount(), 0u);

    // The chips follow the project.
    test::awaitTask(chat.bar.harness.timeline.executeCommand(
        EditCommand::AddText{"Hello", 0, 3, TextPosition::center(), TextStyle{}}));
    EXPECT_EQ(history.chips().front()->suggestion(),
              QStringLiteral("Add a fade transition between clips"));

    // A transcript of tool turns only: neither suggestions nor bubbles.
    chat.bar.viewModel.chatHistory().appendMessage(ChatMessage::make(
        ChatMessage::Role::assistant, {ChatMessage::ToolUse{"toolu_1", "split_clip", {}}}));
    EXPECT_FALSE(history.isShowingSuggestions());
    EXPECT_TRUE(history.bubbles().empty());
}

TEST(InstructionInputViewTest, GetStartedPrefillsAndFocusesTheInputAndEveryRequestFocusesAgain) {
    vexel::testing::TemporaryFolder staging;
    vexel::testing::ScopedEnvironment runtime("XDG_RUNTIME_DIR", staging.path().string());
    vexel::testing::ScopedEnvironment cache("XDG_CACHE_HOME", staging.path().string());
    ChatColumn chat(Project::makeNew(), std::make_shared<FFmpegMediaLoader>());
    TutorialState state;
    TutorialOrchestrator orchestrator(state, chat.bar.viewModel.chatHistory(),
                                      chat.bar.harness.timeline, std::make_shared<FileStager>(),
                                      ResourceBundle::main(), chat.bar.harness.logger);
    chat.bar.viewModel.setTutorialOrchestrator(&orchestrator);
    TutorialHooks hooks(state, chat.bar.viewModel, chat.bar.settings, chat.bar.harness.logger);
    hooks.startIfFirstRun();
    EXPECT_FALSE(chat.view->isTutorialInputStep());
    EXPECT_FALSE(chat.view->sendButton()->isHighlighted());

    chat.elsewhere->setFocus();
    hooks.setupAndAdvance();
    ASSERT_TRUE(hooks.setupTask());
    awaitTask(hooks.setupTask()->finished());
    settle();
    EXPECT_EQ(state.currentStep(), TutorialStep::splitChat);
    EXPECT_EQ(chat.view->inputField()->text(), QStringLiteral("Split the clip at 3 seconds"));
    EXPECT_TRUE(chat.view->inputField()->hasFocus());
    EXPECT_FALSE(chat.bar.viewModel.shouldFocusInput());
    EXPECT_EQ(chat.bar.harness.repository->load().videoClips().size(), 1u);
    EXPECT_TRUE(chat.bar.harness.logger->entries().empty());

    // The step waits for the user: Send is lit, steadily under reduced motion.
    EXPECT_TRUE(chat.view->isTutorialInputStep());
    EXPECT_TRUE(chat.view->sendButton()->isHighlighted());
    QColor lit = toQColor(VexelColors::accent);
    lit.setAlphaF(0.35f);
    EXPECT_EQ(chat.view->sendButton()->highlightColor(), lit);

    // A second request focuses the input again.
    chat.elsewhere->setFocus();
    ASSERT_FALSE(chat.view->inputField()->hasFocus());
    chat.bar.viewModel.setShouldFocusInput(true);
    EXPECT_TRUE(chat.view->inputField()->hasFocus());
    EXPECT_FALSE(chat.bar.viewModel.shouldFocusInput());

    state.setCurrentStep(std::nullopt);
    EXPECT_FALSE(chat.view->sendButton()->isHighlighted());
    EXPECT_EQ(chat.view->sendButton()->highlightColor().alpha(), 0);
}

TEST(InstructionInputViewTest, ANewMessageScrollsItIntoViewAStreamingOneDoesNot) {
    ChatColumn chat(introAndSong());
    ChatHistoryManager& history = chat.bar.viewModel.chatHistory();
    QScrollBar* bar = chat.view->historyView()->messageScrollArea()->verticalScrollBar();
    const auto bottomOfNewest = [&] {
        ChatBubble* newest = chat.view->historyView()->bubbles().back();
        return newest
            ->mapTo(chat.view->historyView()->messageScrollArea()->viewport(),
                    QPoint(0, newest->height()))
            .y();
    };
    for (int n = 0; n < 30; ++n) {
        history.appendAssistantMessage("Message " + std::to_string(n));
    }
    settle();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bottomOfNewest(),
              chat.view->historyView()->messageScrollArea()->viewport()->height());

    // The user scrolls up; a reply that streams in grows without moving the view.
    bar->setValue(0);
    const Uuid reply = Uuid::random();
    history.appendStreamingMessage(reply); // no text yet: the newest shown stays the same
    settle();
    const int afterAppend = bar->value();
    EXPECT_EQ(bottomOfNewest(),
              chat.view->historyView()->messageScrollArea()->viewport()->height());
    history.updateStreamingMessage(reply, "Thinking about it");
    settle();
    history.updateStreamingMessage(reply, "Thinking about it, and more, and more, and more");
    settle();
    EXPECT_EQ(bar->value(), afterAppend);
    EXPECT_EQ(chat.view->historyView()->bubbles().back()->text(),
              QStringLiteral("Thinking about it, and more, and more, and more"));

    // A removal scrolls too: the newest left is at the bottom.
    bar->setValue(0);
    history.removeMessage(reply);
    settle();
    EXPECT_EQ(bottomOfNewest(),
              chat.view->historyView()->messageScrollArea()->viewport()->height());
    EXPECT_EQ(chat.view->historyView()->bubbles().back()->text(), QStringLiteral("Message 29"));
}
