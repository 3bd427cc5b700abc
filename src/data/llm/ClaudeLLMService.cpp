#include "data/llm/ClaudeLLMService.h"

#include "data/llm/AnthropicStreamEventParser.h"
#include "data/llm/AssistantReplyError.h"
#include "data/llm/LLMResponseParserError.h"
#include "data/llm/StreamContentBlockAccumulator.h"
#include "foundation/CancellationError.h"

#include <exception>
#include <iterator>
#include <string>

namespace vexel {

namespace {

// Everything one instruction's loop carries from request to request.
struct LoopState {
    std::string systemPrompt;
    std::vector<Json> tools;
    std::vector<Json> messages;
    // How many of `messages` the first request had: the tool turns follow.
    std::size_t initialMessages = 0;
    std::vector<EditCommand> commands;
    std::string message;
    std::vector<ChatMessage> intermediateMessages;
    // What the tool calls of all replies so far carried.
    std::size_t toolCallBytes = 0;

    LLMResponse response() && {
        return LLMResponse{std::move(commands), std::move(message),
                           std::move(intermediateMessages)};
    }
};

// What one reply did to the loop. `iteration` is set when the reply completed a
// tool iteration (its commands and its two turns).
struct ReplyOutcome {
    bool goOn = false;
    std::optional<LLMStreamEvent::IterationCompleted> iteration;
};

std::vector<Json> toolList(const Json& definitions) {
    return std::vector<Json>(definitions.begin(), definitions.end());
}

LoopState startLoop(const std::string& instruction, const Project& context,
                    const std::vector<ChatMessage>& history,
                    const std::optional<Uuid>& selectedClipId) {
    LoopState state;
    state.systemPrompt = std::string(PromptBuilder::systemPrompt());
    state.tools = toolList(PromptBuilder::buildToolDefinitions());
    state.messages = PromptBuilder::buildMessages(history, instruction, context, selectedClipId);
    state.initialMessages = state.messages.size();
    return state;
}

ReplyOutcome absorbReply(const ClaudeLLMService& service, LoopState& state,
                         const std::vector<ContentBlock>& blocks,
                         const std::optional<std::string>& stopReason, const Project& context,
                         int iteration) {
    state.message = ContentBlock::extractMessage(blocks);
    const std::vector<ToolCall> calls = ContentBlock::extractToolCalls(blocks);
    ClaudeLLMService::MappedToolCalls mapped = service.mapToolCalls(calls, context);
    state.commands.insert(state.commands.end(), mapped.commands.begin(), mapped.commands.end());

    if (state.commands.size() > ClaudeLLMService::maxCommands) {
        state.commands.erase(state.commands.begin() + ClaudeLLMService::maxCommands,
                             state.commands.end());
        return {};
    }
    if (stopReason != "tool_use" || calls.empty()) {
        return {};
    }
    auto [assistantTurn, resultTurn] =
        ClaudeLLMService::buildIntermediateMessages(blocks, mapped.toolResults);
    std::vector<ChatMessage> turns = state.intermediateMessages;
    turns.push_back(assistantTurn);
    turns.push_back(resultTurn);
    // The next request stays within its bound: older turns go shorter, and
    // turns too many to fit at all end the conversation here, as too many
    // commands do.
    std::optional<std::vector<Json>> sent = PromptBuilder::serializeTurns(turns);
    if (!sent) {
        return {};
    }
    state.messages.resize(state.initialMessages);
    state.messages.insert(state.messages.end(), std::make_move_iterator(sent->begin()),
                          std::make_move_iterator(sent->end()));
    state.intermediateMessages = std::move(turns);
    return ReplyOutcome{
        iteration + 1 < ClaudeLLMService::maxIterations,
        LLMStreamEvent::IterationCompleted{std::move(mapped.commands),
                                           {std::move(assistantTurn), std::move(resultTurn)}}};
}

// Counts `bytes` more of tool calls against what the instruction may carry.
void carryToolCallBytes(std::size_t& carried, std::size_t bytes) {
    carried += bytes;
    if (carried > ClaudeLLMService::maxInstructionToolCallBytes) {
        throw AssistantReplyError::toolInputsTooLong(ClaudeLLMService::maxInstructionToolCallBytes);
    }
}

// Feeds one streamed reply to `accumulator`, passing its progress on to
// `events`, within the limits of one reply and of the instruction's tool
// calls (`toolCallBytes` so far).
void readStreamedReply(AsyncStream<SSELine>& lines, StreamContentBlockAccumulator& accumulator,
                       AsyncChannelWriter<LLMStreamEvent>& events, std::size_t& toolCallBytes,
                       const std::stop_token& stop) {
    std::size_t replyBytes = 0;
    std::size_t textBytes = 0;
    bool stopped = false;
    while (std::optional<SSELine> line = lines.next(stop)) {
        throwIfCancelled(stop);
        replyBytes += line->event.size() + line->data.size();
        if (replyBytes > ClaudeLLMService::maxReplyBytes) {
            throw AssistantReplyError::replyTooLong(ClaudeLLMService::maxReplyBytes);
        }
        std::optional<AnthropicStreamEvent> event = AnthropicStreamEventParser::parse(*line);
        if (!event) {
            continue;
        }
        if (const auto* text = event->getIf<AnthropicStreamEvent::TextDelta>()) {
            textBytes += text->text.size();
            if (textBytes > ClaudeLLMService::maxReplyTextBytes) {
                throw AssistantReplyError::replyTooLong(ClaudeLLMService::maxReplyTextBytes);
            }
        } else if (const auto* input = event->getIf<AnthropicStreamEvent::InputJsonDelta>()) {
            carryToolCallBytes(toolCallBytes, input->partialJson.size());
        } else if (const auto* start = event->getIf<AnthropicStreamEvent::ContentBlockStart>()) {
            if (const auto* toolUse = start->type.toolUseValue()) {
                carryToolCallBytes(toolCallBytes, toolUse->id.size() + toolUse->name.size());
            }
        }
        stopped = stopped || event->getIf<AnthropicStreamEvent::MessageStop>() != nullptr;
        if (auto feedback = accumulator.feed(*event)) {
            events.send(std::move(*feedback));
        }
    }
    // A connection closed mid-reply ends the body as cleanly as a finished
    // reply does; only the closing event tells them apart.
    if (!stopped) {
        throw AssistantReplyError::cutOff();
    }
    // A call cut off (the model ran out of output tokens, say) is not
    // dropped quietly: the instruction would run without the edit it was
    // making.
    if (accumulator.hasOpenToolUse()) {
        throw AssistantReplyError::toolCallCutOff();
    }
}

} // namespace

ClaudeLLMService::ClaudeLLMService(std::shared_ptr<APIClient> apiClient,
                                   ToolCallMapper toolCallMapper, PromptBuilder promptBuilder)
    : apiClient_(std::move(apiClient))
    , toolCallMapper_(std::move(toolCallMapper))
    , promptBuilder_(promptBuilder) {}

LLMResponse ClaudeLLMService::interpret(const std::string& instruction, const Project& context,
                                        const std::vector<ChatMessage>& history,
                                        const std::optional<Uuid>& selectedClipId,
                                        std::stop_token stop) {
    LoopState state = startLoop(instruction, context, history, selectedClipId);
    for (int iteration = 0; iteration < maxIterations; ++iteration) {
        const std::string body =
            apiClient_->sendToolUseMessage(state.systemPrompt, state.messages, state.tools, stop);
        const ContentBlock::ParsedReply reply = ContentBlock::parseWithStopReason(body);
        for (const ToolCall& call : ContentBlock::extractToolCalls(reply.blocks)) {
            carryToolCallBytes(state.toolCallBytes,
                               call.id.size() + call.name.size() + call.input.text().size());
        }
        if (!absorbReply(*this, state, reply.blocks, reply.stopReason, context, iteration).goOn) {
            break;
        }
    }
    return std::move(state).response();
}

AsyncStream<LLMStreamEvent>
ClaudeLLMService::streamInterpret(const std::string& instruction, const Project& context,
                                  const std::vector<ChatMessage>& history,
                                  const std::optional<Uuid>& selectedClipId) {
    // Built before the stream exists, so the producer owns copies of everything.
    LoopState initial = startLoop(instruction, context, history, selectedClipId);
    return AsyncStream<LLMStreamEvent>(
        [service = *this, context, state = std::move(initial)](
            AsyncChannelWriter<LLMStreamEvent>& events, std::stop_token stop) mutable {
            for (int iteration = 0; iteration < maxIterations; ++iteration) {
                throwIfCancelled(stop);
                AsyncStream<SSELine> lines = service.apiClient_->streamToolUseMessage(
                    state.systemPrompt, state.messages, state.tools);
                StreamContentBlockAccumulator accumulator;
                readStreamedReply(lines, accumulator, events, state.toolCallBytes, stop);
                ReplyOutcome outcome = absorbReply(service, state, accumulator.completedBlocks(),
                                                   accumulator.stopReason(), context, iteration);
                if (outcome.iteration) {
                    events.send(LLMStreamEvent(std::move(*outcome.iteration)));
                }
                if (!outcome.goOn) {
                    break;
                }
            }
            events.send(LLMStreamEvent::completed(std::move(state).response()));
        });
}

ClaudeLLMService::MappedToolCalls ClaudeLLMService::mapToolCalls(const std::vector<ToolCall>& calls,
                                                                 const Project& context) const {
    MappedToolCalls mapped;
    for (const ToolCall& call : calls) {
        try {
            std::vector<EditCommand> commands = toolCallMapper_.map(std::vector{call}, context);
            mapped.commands.insert(mapped.commands.end(), std::make_move_iterator(commands.begin()),
                                   std::make_move_iterator(commands.end()));
            mapped.toolResults.push_back(ToolResult{
                call.id,
                "Parsed: " + call.name + " - will be applied after all tools are processed",
                false});
        } catch (const LLMResponseParserError& error) {
            mapped.toolResults.push_back(
                ToolResult{call.id, "Error: " + error.description(), true});
        }
    }
    return mapped;
}

std::pair<ChatMessage, ChatMessage>
ClaudeLLMService::buildIntermediateMessages(const std::vector<ContentBlock>& contentBlocks,
                                            const std::vector<ToolResult>& toolResults) {
    std::vector<ChatMessage::ContentPart> assistantParts;
    for (const ContentBlock& block : contentBlocks) {
        if (const std::string* text = block.textValue()) {
            assistantParts.emplace_back(ChatMessage::Text{*text});
        } else if (const ToolCall* call = block.toolCallValue()) {
            assistantParts.emplace_back(ChatMessage::ToolUse{call->id, call->name, call->input});
        }
    }
    std::vector<ChatMessage::ContentPart> resultParts;
    for (const ToolResult& result : toolResults) {
        resultParts.emplace_back(
            ChatMessage::ToolResult{result.toolUseId, result.content, result.isError});
    }
    return {ChatMessage::make(ChatMessage::Role::assistant, std::move(assistantParts)),
            ChatMessage::make(ChatMessage::Role::user, std::move(resultParts))};
}

} // namespace vexel
