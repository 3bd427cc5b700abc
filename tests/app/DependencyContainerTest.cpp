#include "app/DependencyContainer.h"

#include "app/AppHarness.h"
#include "presentation/viewmodels/AssistantNotConfiguredError.h"
#include "support/AnthropicEvents.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using namespace std::chrono_literals;
using vexel::test::anthropic::textReply;

namespace {

std::vector<std::string> chatTexts(InstructionViewModel& instructions) {
    std::vector<std::string> texts;
    for (const ChatMessage& message : instructions.chatHistory().messages()) {
        texts.push_back(message.content());
    }
    return texts;
}

// Types `text` into the chat bar and sends it, then waits until it has ended.
void send(InstructionViewModel& instructions, const std::string& text) {
    instructions.setInstructionText(text);
    instructions.startSubmit();
    ASSERT_TRUE(instructions.currentTask());
    awaitTask(instructions.currentTask()->finished());
    settle();
}

TEST(DependencyContainerTest, TheGraphStartsEmptyAndKeepsEveryEditInTheRepositoryAndTheAutoSave) {
    AppHarness harness;
    const std::unique_ptr<EditorGraph> graph =
        DependencyContainer::over(harness.environment()).makeEditorGraph();
    TimelineViewModel& timeline = graph->timelineViewModel();
    MainViewModel& document = graph->mainViewModel();

    const Project& initial = timeline.project();
    EXPECT_EQ(initial.maxDuration, 3600);
    ASSERT_EQ(initial.tracks.size(), 3u);
    for (std::size_t index = 0; index < 3; ++index) {
        const Track& track = initial.tracks[index];
        EXPECT_EQ(track.name, "Audio " + std::to_string(index + 1));
        EXPECT_EQ(track.type, TrackType::audio);
        EXPECT_TRUE(track.isDefault);
        EXPECT_TRUE(track.clips.empty());
    }
    EXPECT_EQ(timeline.totalDuration(), 0);
    EXPECT_FALSE(timeline.canUndo());
    EXPECT_FALSE(timeline.canRedo());
    EXPECT_FALSE(document.isDirty());
    EXPECT_FALSE(document.currentProjectURL());
    EXPECT_EQ(graph->projectRepository()->load(), initial);
    EXPECT_EQ(graph->previewViewModel().maxDuration(), 3600);
    EXPECT_EQ(&graph->instructionViewModel().timelineViewModel(), &timeline);
    EXPECT_EQ(&timeline.errorViewModel(), &graph->errorBannerViewModel());
    EXPECT_EQ(graph->instructionViewModel().tutorialOrchestrator(), &graph->tutorialOrchestrator());

    // An edit through the real engine reaches the repository the assistant and
    // the save read, marks the document, and is auto-saved once the debounce
    // has passed, encrypted under the store's key.
    awaitTask(timeline.executeCommand(addTitle(1)));
    settle();
    EXPECT_EQ(graph->projectRepository()->load(), timeline.project());
    EXPECT_EQ(timeline.project().textClips().size(), 1u);
    EXPECT_TRUE(document.isDirty());
    harness.time->advance(4.9s);
    settle();
    EXPECT_FALSE(harness.autoSave()->exists());
    harness.time->advance(0.1s);
    ASSERT_TRUE(document.autoSaveTask());
    awaitTask(document.autoSaveTask()->finished());
    ASSERT_TRUE(harness.autoSave()->exists());
    EXPECT_EQ(harness.autoSave()->load(), timeline.project());
    EXPECT_TRUE(harness.secrets->find(
        {DependencyContainer::autoSaveKeyService, DependencyContainer::autoSaveKeyAccount}));

    // A new document ends the conversation and the tutorial.
    graph->tutorialState().setCurrentStep(TutorialStep::splitChat);
    graph->instructionViewModel().chatHistory().appendAssistantMessage("Hello");
    document.newProject();
    EXPECT_EQ(graph->tutorialState().currentStep(), std::nullopt);
    EXPECT_TRUE(graph->instructionViewModel().chatHistory().messages().empty());
    EXPECT_EQ(timeline.project().tracks.size(), 3u);
    EXPECT_EQ(graph->projectRepository()->load(), timeline.project());
}

TEST(DependencyContainerTest, WithoutABackendAnInstructionIsAnsweredWithANoticeAndNoRequest) {
    LoopbackServer server;
    const struct {
        std::optional<std::string> url;
        std::optional<std::string> token;
        bool configured;
    } cases[] = {
        {std::nullopt, std::nullopt, false}, {server.baseURL(), std::nullopt, false},
        {std::nullopt, "token", false},      {server.baseURL(), "  ", false},
        {server.baseURL(), "token", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.value_or("no URL") + ", " + c.token.value_or("no token"));
        AppHarness harness;
        harness.variables.clear();
        if (c.url) {
            harness.variables["VEXEL_BACKEND_URL"] = *c.url;
        }
        if (c.token) {
            harness.variables["VEXEL_ACCESS_TOKEN"] = *c.token;
        }
        const DependencyContainer container = DependencyContainer::over(harness.environment());
        EXPECT_EQ(container.llmService() != nullptr, c.configured);
        const std::unique_ptr<EditorGraph> graph = container.makeEditorGraph();
        InstructionViewModel& instructions = graph->instructionViewModel();
        const std::size_t requestsBefore = server.requestCount();

        if (c.configured) {
            server.enqueue(
                ScriptedResponse::eventStream().write(textReply("Hello there.", "end_turn")));
            send(instructions, "Say hello");
            EXPECT_EQ(chatTexts(instructions),
                      (std::vector<std::string>{"Say hello", "Hello there."}));
            ASSERT_EQ(server.requestCount(), requestsBefore + 1);
            EXPECT_EQ(server.requests().back().header("Authorization"), "Bearer token");
            EXPECT_TRUE(instructions.chatHistory().errorMessageIds().empty());
            continue;
        }

        send(instructions, "Say hello\t");
        EXPECT_EQ(server.requestCount(), requestsBefore);
        const std::vector<ChatMessage>& messages = instructions.chatHistory().messages();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].content(), "Say hello");
        EXPECT_EQ(messages[1].content(), AssistantNotConfiguredError::userMessage);
        EXPECT_EQ(std::string(AssistantNotConfiguredError::userMessage),
                  "The assistant is not set up. Set VEXEL_BACKEND_URL and VEXEL_ACCESS_TOKEN, "
                  "then start Vexel again.");
        // Offered for retry with the input as typed, which is given back.
        EXPECT_TRUE(instructions.chatHistory().errorMessageIds().contains(messages[1].id));
        EXPECT_EQ(instructions.chatHistory().retryableInstructions().at(messages[1].id),
                  "Say hello\t");
        EXPECT_EQ(instructions.instructionText(), "Say hello\t");
        EXPECT_FALSE(instructions.currentTask());
        EXPECT_EQ(
            harness.logger->countStartingWith("[App] The assistant backend is not configured"), 1u);
    }
}

} // namespace
