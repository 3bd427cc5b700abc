// The instruction road from the backend's event stream to the chat and the
// project, with nothing faked in between but the export: a real HTTP server on
// 127.0.0.1 streams scripted replies, the transport speaks HTTP through
// libcurl, the assistant loop maps the tool calls, and the command step applies
// them through the timeline and the edit engine.
#include "presentation/viewmodels/InstructionStreamProcessor.h"

#include "data/llm/ClaudeLLMService.h"
#include "data/llm/InterpretInstructionUseCase.h"
#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "foundation/CancellationError.h"
#include "foundation/SteadySleeper.h"
#include "infrastructure/network/APIClientError.h"
#include "infrastructure/network/ClaudeAPIClient.h"
#include "platform/net/CurlHttpClient.h"
#include "platform/net/HttpTransportError.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "support/AnthropicEvents.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;
using namespace vexel::test::anthropic;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

struct InstructionStreamProcessorTest : ::testing::Test {
    Clip intro = makeClip(0, 8, TrackType::video, "intro.mov");
    Clip outro = makeClip(8, 2, TrackType::video, "outro.mov");
    ConversationHarness harness{
        Project{{makeTrack(TrackType::video, "Video 1", {intro, outro})}, 3600}};
    LoopbackServer server;
    std::shared_ptr<InterpretInstructionUseCase> interpret =
        std::make_shared<InterpretInstructionUseCase>(
            std::make_shared<ClaudeLLMService>(std::make_shared<ClaudeAPIClient>(
                std::make_shared<net::CurlHttpClient>(),
                [](std::stop_token) { return std::string("token"); },
                [](std::stop_token) { return std::string("token"); }, server.baseURL(),
                std::nullopt, 2048, 10, 0.01, std::make_shared<SteadySleeper>())),
            harness.repository);
    std::vector<bool> summariesAsked;

    // Submits `text` as the instruction view model does, with the command
    // step bound to the real command processor.
    void submit(const std::string& text, std::stop_token stop = {}) {
        InstructionStreamProcessor processor(
            harness.chat,
            [this](const std::string& instruction, const std::vector<ChatMessage>& history,
                   const std::optional<Uuid>& selected) {
                return interpret->streamExecute(instruction, history, selected);
            },
            harness.logger);
        // The transcript before the instruction is its history; then the
        // instruction joins the transcript.
        std::vector<ChatMessage> history = harness.chat.messages();
        harness.chat.appendMessage(
            ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{text}}));
        InstructionCommandProcessor commands = harness.commandProcessor();
        auto onCommands = [this, commands, text, stop](LLMResponse response, bool showSummary) {
            summariesAsked.push_back(showSummary);
            return commands.processCommands(std::move(response), text, {}, showSummary, {}, stop);
        };
        awaitTask(
            processor.streamSubmit(text, harness.chat.messages(), std::nullopt, onCommands, stop));
    }
};

} // namespace

TEST_F(InstructionStreamProcessorTest, ToolIterationsFillTheChatAndTheirCommandsAreOneUndoStep) {
    const std::string before = harness.storedProject();
    server.enqueue(
        ScriptedResponse::eventStream()
            .write(messageStart() + textStart(0) + textDelta(0, "Splitting"))
            .write(textDelta(0, " the intro.") + blockStop(0))
            .write(toolCall(1, "toolu_01", "split_clip", {{"target", "intro.mov"}, {"at", 4}}) +
                   messageEnd("tool_use")));
    server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() +
        toolCall(0, "toolu_02", "move_clip", {{"target", "outro.mov"}, {"to", 12}}) +
        messageEnd("tool_use")));
    server.enqueue(ScriptedResponse::eventStream().write(textReply("Done.", "end_turn")));

    submit("Split the intro and move the outro");

    // Each iteration's two turns, then the last streamed text; no empty
    // streaming message remains and, text having been streamed, no summary.
    const std::vector<ChatMessage>& messages = harness.chat.messages();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[1].content(), "Splitting the intro.");
    EXPECT_TRUE(messages[1].hasToolParts());
    EXPECT_EQ(messages[2].role, ChatMessage::Role::user);
    EXPECT_TRUE(messages[3].hasToolParts());
    EXPECT_EQ(messages[5].content(), "Done.");
    EXPECT_EQ(summariesAsked, std::vector<bool>{false});
    EXPECT_EQ(server.requestCount(), 3u);

    const Project after = harness.repository->load();
    EXPECT_EQ(after.videoClips().size(), 3u);
    ASSERT_NE(after.findClip(outro.id), nullptr);
    EXPECT_EQ(after.findClip(outro.id)->timeRange.startTime, 12);
    harness.timeline.undo();
    EXPECT_EQ(harness.storedProject(), before);
    EXPECT_FALSE(harness.timeline.canUndo());
}

TEST_F(InstructionStreamProcessorTest, RepliesWithoutCommandsShowTheirTextOrSayNothingChanged) {
    server.enqueue(ScriptedResponse::eventStream().write(textReply("Hello there", "end_turn")));
    submit("Hi");
    EXPECT_EQ(harness.chatTexts(), (std::vector<std::string>{"Hi", "Hello there"}));

    server.enqueue(ScriptedResponse::eventStream().write(messageStart() + messageEnd("end_turn")));
    submit("Anything?");
    EXPECT_EQ(harness.chatTexts(),
              (std::vector<std::string>{"Hi", "Hello there", "Anything?", "No changes made."}));
    EXPECT_TRUE(summariesAsked.empty());
    // The history sent with the second instruction is the transcript so far.
    const Json second = Json::parse(server.requests().back().body);
    EXPECT_EQ(second["messages"].size(), 3u);
}

TEST_F(InstructionStreamProcessorTest, AFailingCommandLeavesTheProjectAndARetryInPlaceOfTheText) {
    const std::string before = harness.storedProject();
    server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() +
        toolCall(0, "toolu_01", "move_clip", {{"target", "outro.mov"}, {"to", 3}}) +
        messageEnd("tool_use")));
    server.enqueue(ScriptedResponse::eventStream().write(textReply("Moved it.", "end_turn")));

    submit("Move the outro to 3 s");

    EXPECT_EQ(harness.storedProject(), before);
    EXPECT_EQ(harness.timeline.project(), harness.repository->load());
    EXPECT_FALSE(harness.timeline.canUndo());
    // The instruction, the two turns of the tool iteration, then the notice in
    // place of "Moved it.".
    ASSERT_EQ(harness.chat.messages().size(), 4u);
    const ChatMessage& notice = harness.chat.messages().back();
    EXPECT_EQ(notice.content(), EditError::clipOverlap().userMessage());
    EXPECT_EQ(harness.chat.retryableInstructions().at(notice.id), "Move the outro to 3 s");
}

TEST_F(InstructionStreamProcessorTest, AFailedOrCancelledStreamDropsItsPartialTextAndRethrows) {
    // A connection lost mid-reply ends the stream with the transport's error,
    // which is not the backend's and so is not logged here.
    server.enqueue(ScriptedResponse::eventStream()
                       .write(messageStart() + textStart(0) + textDelta(0, "Half a repl"))
                       .hangUp());
    EXPECT_THROW(submit("Trim the intro"), net::HttpTransportError);
    EXPECT_EQ(harness.chatTexts(), std::vector<std::string>{"Trim the intro"});
    EXPECT_TRUE(harness.logger->messages().empty());

    // A refusal of the backend is logged by its safe description.
    server.enqueue(ScriptedResponse::plain(503));
    try {
        submit("Trim the intro");
        ADD_FAILURE() << "the stream's failure was swallowed";
    } catch (const APIClientError& error) {
        EXPECT_EQ(error, APIClientError::serverError(503));
        EXPECT_EQ(harness.logger->messages(), std::vector<std::string>{"[Instruction] API error: " +
                                                                       error.logSafeDescription()});
    }
    EXPECT_EQ(harness.chat.messages().size(), 2u);

    // Stopped once the first text shows: the cancellation comes back, unlogged.
    std::stop_source stop;
    QObject::connect(&harness.chat, &ChatHistoryManager::messagesChanged, [&] {
        for (const ChatMessage& message : harness.chat.messages()) {
            if (message.content() == "Working") {
                stop.request_stop();
            }
        }
    });
    server.enqueue(ScriptedResponse::eventStream()
                       .write(messageStart() + textStart(0) + textDelta(0, "Working"))
                       .waitForGate("never"));
    EXPECT_THROW(submit("Trim the intro", stop.get_token()), CancellationError);
    EXPECT_EQ(harness.chat.messages().size(), 3u);
    EXPECT_EQ(harness.chatTexts().back(), "Trim the intro");
    EXPECT_EQ(harness.logger->messages().size(), 1u);
    server.openGate("never");
}
