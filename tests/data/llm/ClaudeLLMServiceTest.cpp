#include "data/llm/ClaudeLLMService.h"

#include "data/llm/AssistantReplyError.h"
#include "data/llm/ContentBlockParseError.h"
#include "data/llm/ScriptedAPIClient.h"
#include "data/llm/ToolDefinitions.h"
#include "infrastructure/network/APIClientError.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vexel;
using namespace std::chrono_literals;
using test::plainReply;
using test::streamedReply;
using test::textBlock;
using test::toolUseBlock;

namespace {

struct Fixture {
    Clip clip = Clip{.id = Uuid::random(),
                     .assetName = "a.mp4",
                     .trackType = TrackType::video,
                     .timeRange = {0, 10}};
    Project project{{Track{Uuid::random(), TrackType::video, "Video 1", {clip}, false}}};
    std::shared_ptr<test::ScriptedAPIClient> client = std::make_shared<test::ScriptedAPIClient>();
    ClaudeLLMService service{client};

    Json volumeCall(std::string id, double volume) const {
        return toolUseBlock(std::move(id), "set_volume", {{"target", "a.mp4"}, {"volume", volume}});
    }
    EditCommand volumeCommand(double volume) const {
        return EditCommand::AdjustVolume{clip.id, volume, std::nullopt};
    }
};

struct Drained {
    std::vector<LLMStreamEvent> events;
    std::exception_ptr error;
};

Drained drain(AsyncStream<LLMStreamEvent>& stream) {
    test::Watchdog watchdog(10s);
    Drained drained;
    try {
        while (auto event = stream.next(watchdog.token())) {
            drained.events.push_back(std::move(*event));
        }
    } catch (...) {
        drained.error = std::current_exception();
    }
    EXPECT_FALSE(watchdog.fired()) << "the stream did not end";
    return drained;
}

template <typename Error> std::optional<Error> errorOf(const std::exception_ptr& failure) {
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
    } catch (const Error& error) {
        return error;
    } catch (...) {
    }
    return std::nullopt;
}

std::vector<ChatMessage::ContentPart> partsOf(const ChatMessage& message) {
    return message.contentParts;
}

} // namespace

TEST(ClaudeLLMService, TextOnlyReplyIsOneRequestWithoutCommands) {
    Fixture f;
    f.client->enqueuePlain(plainReply({textBlock("Which"), textBlock("clip?")}, "end_turn"));
    std::vector<ChatMessage> history = {
        ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{"hi"}}),
        ChatMessage::make(ChatMessage::Role::assistant, {ChatMessage::Text{"hello"}})};

    LLMResponse response = f.service.interpret("Trim it", f.project, history, f.clip.id);
    EXPECT_EQ(response, (LLMResponse{{}, "Which clip?", {}}));

    auto requests = f.client->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].systemPrompt, PromptBuilder::systemPrompt());
    const Json tools = buildToolDefinitions();
    EXPECT_EQ(requests[0].tools, std::vector<Json>(tools.begin(), tools.end()));
    EXPECT_EQ(requests[0].messages,
              PromptBuilder::buildMessages(history, "Trim it", f.project, f.clip.id));
}

TEST(ClaudeLLMService, AFailedToolCallBecomesAnErrorResultOfTheNextRequest) {
    Fixture f;
    f.client->enqueuePlain(plainReply({textBlock("Adjusting."), f.volumeCall("t1", 0.5),
                                       f.volumeCall("t2", 1.5), toolUseBlock("t3", "Undo")},
                                      "tool_use"));
    f.client->enqueuePlain(plainReply({textBlock("One worked.")}, "end_turn"));

    LLMResponse response = f.service.interpret("Quieter", f.project, {}, std::nullopt);
    EXPECT_EQ(response.commands, std::vector{f.volumeCommand(0.5)});
    EXPECT_EQ(response.message, "One worked.");
    ASSERT_EQ(response.intermediateMessages.size(), 2u);

    const ChatMessage& assistantTurn = response.intermediateMessages[0];
    EXPECT_EQ(assistantTurn.role, ChatMessage::Role::assistant);
    EXPECT_EQ(partsOf(assistantTurn),
              (std::vector<ChatMessage::ContentPart>{
                  ChatMessage::Text{"Adjusting."},
                  ChatMessage::ToolUse{
                      "t1",
                      "set_volume",
                      {{"target", JSONValue::string("a.mp4")}, {"volume", JSONValue::number(0.5)}}},
                  ChatMessage::ToolUse{
                      "t2",
                      "set_volume",
                      {{"target", JSONValue::string("a.mp4")}, {"volume", JSONValue::number(1.5)}}},
                  ChatMessage::ToolUse{"t3", "Undo", {}}}));
    const ChatMessage& resultTurn = response.intermediateMessages[1];
    EXPECT_EQ(resultTurn.role, ChatMessage::Role::user);
    EXPECT_EQ(
        partsOf(resultTurn),
        (std::vector<ChatMessage::ContentPart>{
            ChatMessage::ToolResult{
                "t1", "Parsed: set_volume - will be applied after all tools are processed", false},
            ChatMessage::ToolResult{"t2", "Error: invalidParameterValue(\"volume\", 1.5)", true},
            ChatMessage::ToolResult{"t3", "Error: unknownAction(\"Undo\")", true}}));
    EXPECT_NE(assistantTurn.id, resultTurn.id);

    auto requests = f.client->requests();
    ASSERT_EQ(requests.size(), 2u);
    ASSERT_EQ(requests[1].messages.size(), 3u);
    EXPECT_EQ(requests[1].messages[0], requests[0].messages[0]);
    EXPECT_EQ(requests[1].messages[1], PromptBuilder::serializeMessage(assistantTurn));
    EXPECT_EQ(requests[1].messages[2], PromptBuilder::serializeMessage(resultTurn));
    EXPECT_EQ(requests[1].messages[2]["content"][1]["is_error"], true);
    EXPECT_EQ(requests[1].tools, requests[0].tools);
}

TEST(ClaudeLLMService, AnErrorResultEscapesTheControlCharactersOfANamedTarget) {
    Fixture f;
    f.client->enqueuePlain(plainReply(
        {toolUseBlock("t1", "set_volume", {{"target", "it's\x01\nbad"}, {"volume", 0.5}})},
        "tool_use"));
    f.client->enqueuePlain(plainReply({textBlock("No such clip.")}, "end_turn"));

    LLMResponse response = f.service.interpret("Quieter", f.project, {}, std::nullopt);
    ASSERT_EQ(response.intermediateMessages.size(), 2u);
    // The quote is escaped and neither the control character nor the line feed
    // goes into the conversation raw.
    const std::string expected = R"(Error: targetNotFound("it\'s\u{01}\nbad"))";
    EXPECT_EQ(
        partsOf(response.intermediateMessages[1]),
        (std::vector<ChatMessage::ContentPart>{ChatMessage::ToolResult{"t1", expected, true}}));
    const auto requests = f.client->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].messages[2]["content"][0]["content"], expected);
}

TEST(ClaudeLLMService, SendsAtMostFiveRequests) {
    Fixture f;
    for (int i = 0; i < 5; ++i) {
        f.client->enqueuePlain(plainReply({textBlock("step " + std::to_string(i)),
                                           f.volumeCall("t" + std::to_string(i), i / 10.0)},
                                          "tool_use"));
    }
    // A sixth request would be unscripted and fail the call.
    LLMResponse response = f.service.interpret("Go", f.project, {}, std::nullopt);
    EXPECT_EQ(f.client->requests().size(), 5u);
    EXPECT_EQ(response.commands,
              (std::vector{f.volumeCommand(0), f.volumeCommand(0.1), f.volumeCommand(0.2),
                           f.volumeCommand(0.3), f.volumeCommand(0.4)}));
    EXPECT_EQ(response.message, "step 4");
    ASSERT_EQ(response.intermediateMessages.size(), 10u);
    EXPECT_EQ(f.client->requests()[4].messages.size(), 9u);
}

TEST(ClaudeLLMService, KeepsTheFirstFiftyCommandsAndStops) {
    Fixture f;
    std::vector<Json> sixty;
    std::vector<EditCommand> firstFifty;
    for (int i = 0; i < 60; ++i) {
        sixty.push_back(f.volumeCall("t" + std::to_string(i), i / 100.0));
        if (i < 50) {
            firstFifty.push_back(f.volumeCommand(i / 100.0));
        }
    }
    f.client->enqueuePlain(plainReply(sixty, "tool_use"));
    LLMResponse response = f.service.interpret("Many", f.project, {}, std::nullopt);
    EXPECT_EQ(response.commands, firstFifty);
    EXPECT_TRUE(response.intermediateMessages.empty());
    EXPECT_EQ(f.client->requests().size(), 1u);

    // Exactly fifty goes on; the fifty-first command ends the loop.
    Fixture g;
    std::vector<Json> fifty(sixty.begin(), sixty.begin() + 50);
    g.client->enqueuePlain(plainReply(fifty, "tool_use"));
    g.client->enqueuePlain(plainReply({g.volumeCall("last", 1)}, "tool_use"));
    response = g.service.interpret("Many", g.project, {}, std::nullopt);
    EXPECT_EQ(g.client->requests().size(), 2u);
    EXPECT_EQ(response.commands.size(), 50u);
    EXPECT_EQ(response.intermediateMessages.size(), 2u);
}

TEST(ClaudeLLMService, EndsWhenTheReplyDoesNotAskForTools) {
    Fixture f;
    // "tool_use" without a tool call.
    f.client->enqueuePlain(plainReply({textBlock("Hmm")}, "tool_use"));
    EXPECT_EQ(f.service.interpret("x", f.project, {}, std::nullopt), (LLMResponse{{}, "Hmm", {}}));

    // Tool calls under another stop reason, or none, are kept but not answered.
    f.client->enqueuePlain(plainReply({f.volumeCall("t1", 0.2), textBlock("ok")}, "end_turn"));
    EXPECT_EQ(f.service.interpret("x", f.project, {}, std::nullopt),
              (LLMResponse{{f.volumeCommand(0.2)}, "ok", {}}));
    f.client->enqueuePlain(plainReply({f.volumeCall("t1", 0.3)}, std::nullopt));
    EXPECT_EQ(f.service.interpret("x", f.project, {}, std::nullopt),
              (LLMResponse{{f.volumeCommand(0.3)}, "", {}}));
    EXPECT_EQ(f.client->requests().size(), 3u);
}

TEST(ClaudeLLMService, TransportAndReplyFailuresEndTheInstruction) {
    Fixture f;
    f.client->enqueuePlain(plainReply({f.volumeCall("t1", 0.5)}, "tool_use"));
    f.client->enqueuePlainFailure(std::make_exception_ptr(APIClientError::serverError(503)));
    try {
        f.service.interpret("x", f.project, {}, std::nullopt);
        ADD_FAILURE() << "no error";
    } catch (const APIClientError& error) {
        EXPECT_EQ(error, APIClientError::serverError(503));
    }

    f.client->enqueuePlain(R"({"content":[],"stop_reason":"end_turn"})");
    EXPECT_THROW(f.service.interpret("x", f.project, {}, std::nullopt), ContentBlockParseError);

    // Calls that each fit, but over two replies carry more than an instruction may.
    const Json noted = {{"target", "a.mp4"}, {"volume", 0.5}, {"note", std::string(900'000, 'n')}};
    for (const int calls : {3, 2}) {
        std::vector<Json> blocks;
        for (int i = 0; i < calls; ++i) {
            blocks.push_back(toolUseBlock("t" + std::to_string(calls + i), "set_volume", noted));
        }
        f.client->enqueuePlain(plainReply(blocks, "tool_use"));
    }
    try {
        f.service.interpret("x", f.project, {}, std::nullopt);
        ADD_FAILURE() << "no error";
    } catch (const AssistantReplyError& error) {
        EXPECT_EQ(error.kind(), AssistantReplyError::Kind::toolInputsTooLong);
    }

    std::stop_source cancelled;
    cancelled.request_stop();
    EXPECT_THROW(f.service.interpret("x", f.project, {}, std::nullopt, cancelled.get_token()),
                 CancellationError);
}

TEST(ClaudeLLMService, StreamReportsProgressInOrderAndEndsWithTheResponse) {
    Fixture f;
    f.client->enqueueStream(
        {streamedReply({textBlock("Turning it down"), f.volumeCall("t1", 0.25)}, "tool_use"),
         nullptr, false});
    f.client->enqueueStream({streamedReply({textBlock("Done now")}, "end_turn"), nullptr, false});

    AsyncStream<LLMStreamEvent> stream =
        f.service.streamInterpret("Quieter", f.project, {}, std::nullopt);
    Drained drained = drain(stream);
    ASSERT_FALSE(drained.error);
    ASSERT_EQ(drained.events.size(), 8u);

    const auto* completed = drained.events.back().getIf<LLMStreamEvent::Completed>();
    ASSERT_NE(completed, nullptr);
    const LLMResponse& response = completed->response;
    EXPECT_EQ(response.commands, std::vector{f.volumeCommand(0.25)});
    EXPECT_EQ(response.message, "Done now");
    ASSERT_EQ(response.intermediateMessages.size(), 2u);

    std::vector<LLMStreamEvent> expected = {
        LLMStreamEvent::textDelta("Turning"),
        LLMStreamEvent::textDelta(" it"),
        LLMStreamEvent::textDelta(" down"),
        LLMStreamEvent::toolUseStarted("set_volume"),
        LLMStreamEvent::iterationCompleted({f.volumeCommand(0.25)}, response.intermediateMessages),
        LLMStreamEvent::textDelta("Done"),
        LLMStreamEvent::textDelta(" now"),
        LLMStreamEvent::completed(response)};
    EXPECT_EQ(drained.events, expected);

    // The tool input arrived in fragments and was joined before mapping.
    EXPECT_EQ(partsOf(response.intermediateMessages[0]).back(),
              ChatMessage::ContentPart(ChatMessage::ToolUse{
                  "t1",
                  "set_volume",
                  {{"target", JSONValue::string("a.mp4")}, {"volume", JSONValue::number(0.25)}}}));
    auto requests = f.client->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].messages.back(),
              PromptBuilder::serializeMessage(response.intermediateMessages[1]));
}

TEST(ClaudeLLMService, StreamCapsCommandsWithoutAnIterationEvent) {
    Fixture f;
    std::vector<Json> sixty;
    for (int i = 0; i < 60; ++i) {
        sixty.push_back(toolUseBlock("t" + std::to_string(i), "undo"));
    }
    f.client->enqueueStream({streamedReply(sixty, "tool_use"), nullptr, false});
    AsyncStream<LLMStreamEvent> stream =
        f.service.streamInterpret("x", f.project, {}, std::nullopt);
    Drained drained = drain(stream);
    ASSERT_FALSE(drained.error);
    ASSERT_EQ(drained.events.size(), 61u); // sixty tool starts, then the end
    for (std::size_t i = 0; i < 60; ++i) {
        EXPECT_EQ(drained.events[i].kind(), LLMStreamEvent::Kind::toolUseStarted);
    }
    const auto* completed = drained.events.back().getIf<LLMStreamEvent::Completed>();
    ASSERT_NE(completed, nullptr);
    EXPECT_EQ(completed->response.commands,
              std::vector<EditCommand>(50, EditCommand{EditCommand::Undo{}}));
    EXPECT_TRUE(completed->response.intermediateMessages.empty());
    EXPECT_EQ(f.client->requests().size(), 1u);
}

TEST(ClaudeLLMService, StreamStopsAfterFiveIterations) {
    Fixture f;
    for (int i = 0; i < 5; ++i) {
        f.client->enqueueStream(
            {streamedReply({toolUseBlock("t" + std::to_string(i), "redo")}, "tool_use"), nullptr,
             false});
    }
    AsyncStream<LLMStreamEvent> stream =
        f.service.streamInterpret("x", f.project, {}, std::nullopt);
    Drained drained = drain(stream);
    ASSERT_FALSE(drained.error);
    std::size_t iterations = 0;
    for (const LLMStreamEvent& event : drained.events) {
        iterations += event.kind() == LLMStreamEvent::Kind::iterationCompleted;
    }
    EXPECT_EQ(iterations, 5u);
    EXPECT_EQ(f.client->requests().size(), 5u);
    const auto* completed = drained.events.back().getIf<LLMStreamEvent::Completed>();
    ASSERT_NE(completed, nullptr);
    EXPECT_EQ(completed->response.commands.size(), 5u);
    EXPECT_EQ(completed->response.intermediateMessages.size(), 10u);
}

TEST(ClaudeLLMService, StreamEndsWithTheTransportErrorAndNoResponse) {
    Fixture f;
    f.client->enqueueStream({streamedReply({f.volumeCall("t1", 0.5)}, "tool_use"), nullptr, false});
    auto partial = streamedReply({textBlock("Half way")}, "end_turn");
    partial.resize(3);
    f.client->enqueueStream(
        {partial, std::make_exception_ptr(APIClientError::networkDisconnected()), false});

    AsyncStream<LLMStreamEvent> stream =
        f.service.streamInterpret("x", f.project, {}, std::nullopt);
    Drained drained = drain(stream);
    EXPECT_EQ(errorOf<APIClientError>(drained.error), APIClientError::networkDisconnected());
    ASSERT_FALSE(drained.events.empty());
    EXPECT_EQ(drained.events.back(), LLMStreamEvent::textDelta("Half"));
    for (const LLMStreamEvent& event : drained.events) {
        EXPECT_NE(event.kind(), LLMStreamEvent::Kind::completed);
    }
}

TEST(ClaudeLLMService, AStoppedConsumerCancelsTheProducer) {
    {
        Fixture f;
        auto lines = streamedReply({textBlock("Thinking about it")}, "end_turn");
        lines.resize(3); // start, block start, first delta
        f.client->enqueueStream({lines, nullptr, /*hold=*/true});
        f.client->enqueueStream({streamedReply({textBlock("never")}, "end_turn"), nullptr, false});
        {
            AsyncStream<LLMStreamEvent> stream =
                f.service.streamInterpret("x", f.project, {}, std::nullopt);
            test::Watchdog watchdog(10s);
            EXPECT_EQ(stream.next(watchdog.token()), LLMStreamEvent::textDelta("Thinking"));
            EXPECT_TRUE(f.client->waitUntilHeld(10s));
        } // the consumer lets go here
        EXPECT_TRUE(f.client->heldStreamWasStopped());
        EXPECT_EQ(f.client->requests().size(), 1u);
    }
    {
        // Cancelling without letting go ends the stream with the cancellation.
        Fixture f;
        f.client->enqueueStream({{}, nullptr, /*hold=*/true});
        AsyncStream<LLMStreamEvent> stream =
            f.service.streamInterpret("x", f.project, {}, std::nullopt);
        EXPECT_TRUE(f.client->waitUntilHeld(10s));
        stream.cancel();
        Drained drained = drain(stream);
        EXPECT_TRUE(drained.events.empty());
        EXPECT_TRUE(errorOf<CancellationError>(drained.error));
        EXPECT_TRUE(f.client->heldStreamWasStopped());
        EXPECT_EQ(f.client->requests().size(), 1u);
    }
}

TEST(ClaudeLLMService, IntermediateTurnsFollowBlockAndCallOrder) {
    auto [assistantTurn, resultTurn] = ClaudeLLMService::buildIntermediateMessages(
        {ContentBlock::toolUse({"t1", "undo", {}}), ContentBlock::text(""),
         ContentBlock::text("b")},
        {});
    EXPECT_EQ(assistantTurn.role, ChatMessage::Role::assistant);
    EXPECT_EQ(partsOf(assistantTurn), (std::vector<ChatMessage::ContentPart>{
                                          ChatMessage::ToolUse{"t1", "undo", {}},
                                          ChatMessage::Text{""}, ChatMessage::Text{"b"}}));
    EXPECT_EQ(resultTurn.role, ChatMessage::Role::user);
    EXPECT_TRUE(resultTurn.contentParts.empty());
}

// The tool turns of an instruction stay within their share of each request
// however much the replies carry: the oldest go shorter first, the latest as
// they came, each call still paired with its result; turns that cannot fit
// in any form end the instruction with what it has, asking nothing more.
TEST(ClaudeLLMService, ToolTurnsStayWithinTheirShareOfEachRequest) {
    Fixture f;
    const auto turnBytes = [](const test::ScriptedAPIClient::Request& request) {
        std::size_t bytes = 0;
        for (std::size_t i = 1; i < request.messages.size(); ++i) {
            bytes += PromptBuilder::requestBytes(request.messages[i]) + 1;
        }
        return bytes;
    };
    // Four replies of a long text and ten calls with long notes each.
    for (int reply = 0; reply < 4; ++reply) {
        std::vector<Json> blocks{textBlock(std::string(50'000, 'a' + reply))};
        for (int call = 0; call < 10; ++call) {
            Json input = {{"target", "a.mp4"}, {"volume", 0.5}, {"note", std::string(7000, 'n')}};
            blocks.push_back(
                toolUseBlock("toolu_" + std::to_string(reply) + "_" + std::to_string(call),
                             "set_volume", std::move(input)));
        }
        f.client->enqueuePlain(plainReply(blocks, "tool_use"));
    }
    f.client->enqueuePlain(plainReply({textBlock("Done.")}, "end_turn"));
    const LLMResponse response = f.service.interpret("Go", f.project, {}, std::nullopt);

    const std::vector<test::ScriptedAPIClient::Request> requests = f.client->requests();
    ASSERT_EQ(requests.size(), 5u);
    ASSERT_EQ(response.intermediateMessages.size(), 8u);
    for (std::size_t r = 1; r < requests.size(); ++r) {
        SCOPED_TRACE(r);
        const std::vector<Json>& messages = requests[r].messages;
        ASSERT_EQ(messages.size(), 1 + 2 * r);
        EXPECT_LE(turnBytes(requests[r]), PromptBuilder::maxToolTurnBytes);
        // The latest pair as it came; every call still meets its result.
        EXPECT_EQ(messages[2 * r - 1],
                  PromptBuilder::serializeMessage(response.intermediateMessages[2 * r - 2]));
        EXPECT_EQ(messages[2 * r],
                  PromptBuilder::serializeMessage(response.intermediateMessages[2 * r - 1]));
        for (std::size_t pair = 1; pair < messages.size(); pair += 2) {
            for (std::size_t call = 0; call < 10; ++call) {
                EXPECT_EQ(messages[pair]["content"][call + 1]["id"],
                          messages[pair + 1]["content"][call]["tool_use_id"]);
            }
        }
    }
    EXPECT_NE(requests[4].messages[1],
              PromptBuilder::serializeMessage(response.intermediateMessages[0]));
    EXPECT_EQ(response.message, "Done.");

    // A thousand calls that all fail are too many to answer in any form.
    Fixture g;
    std::vector<Json> calls;
    for (int call = 0; call < 1000; ++call) {
        calls.push_back(toolUseBlock("toolu_" + std::to_string(call), "no_such_tool"));
    }
    calls.push_back(g.volumeCall("toolu_last", 0.25));
    g.client->enqueuePlain(plainReply(calls, "tool_use"));
    const LLMResponse ended = g.service.interpret("Go", g.project, {}, std::nullopt);
    EXPECT_EQ(g.client->requests().size(), 1u);
    EXPECT_EQ(ended.commands, std::vector{g.volumeCommand(0.25)});
    EXPECT_TRUE(ended.intermediateMessages.empty());
}
