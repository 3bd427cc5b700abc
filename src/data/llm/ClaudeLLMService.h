#pragma once

#include "data/llm/ContentBlock.h"
#include "data/llm/LLMService.h"
#include "data/llm/PromptBuilder.h"
#include "data/llm/ToolCall.h"
#include "data/llm/ToolCallMapper.h"
#include "infrastructure/network/APIClient.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace vexel {

// The assistant loop over the backend: each reply's tool calls are mapped to
// commands at once and answered with tool results, and the conversation goes
// on while the backend asks for tools — at most five requests and 50 commands
// per instruction. Holds no state of its own between calls.
class ClaudeLLMService final : public LLMService {
public:
    static constexpr int maxIterations = 5;
    static constexpr std::size_t maxCommands = 50;
    // The most text one streamed reply may bring, and the most event data in
    // all (which also bounds replies of endless empty pieces or blocks). A
    // real reply (2048 output tokens) is a small fraction of either; past one
    // the instruction fails with AssistantReplyError instead of growing
    // without bound.
    static constexpr std::size_t maxReplyTextBytes = 4 * 1024 * 1024;
    static constexpr std::size_t maxReplyBytes = 32 * 1024 * 1024;
    // The most that the tool calls of one instruction may carry over all its
    // replies: their ids, names and input JSON. Real calls take a few hundred
    // bytes each; four inputs at the per-call limit fill it. Every call is held
    // until the instruction ends (and its turns stay in the chat), so without
    // it thirty inputs at the per-call limit, well within the other limits,
    // cost the editor gigabytes. Past it the instruction fails whole with
    // AssistantReplyError.
    static constexpr std::size_t maxInstructionToolCallBytes = 4 * 1024 * 1024;

    // The answer to one tool call, sent back in the next request.
    struct ToolResult {
        std::string toolUseId;
        std::string content;
        bool isError = false;
        friend bool operator==(const ToolResult&, const ToolResult&) = default;
    };

    struct MappedToolCalls {
        std::vector<EditCommand> commands;
        std::vector<ToolResult> toolResults;
    };

    ClaudeLLMService(std::shared_ptr<APIClient> apiClient, ToolCallMapper toolCallMapper = {},
                     PromptBuilder promptBuilder = {});

    // Fails with AssistantReplyError when the tool calls of the instruction
    // outgrow maxInstructionToolCallBytes.
    LLMResponse interpret(const std::string& instruction, const Project& context,
                          const std::vector<ChatMessage>& history,
                          const std::optional<Uuid>& selectedClipId,
                          std::stop_token stop = {}) override;

    // A reply that ends before its "message_stop" event or inside a tool
    // call, or that outgrows one of the limits above or a tool input's, ends
    // the stream with AssistantReplyError; nothing of the instruction is
    // completed.
    AsyncStream<LLMStreamEvent> streamInterpret(const std::string& instruction,
                                                const Project& context,
                                                const std::vector<ChatMessage>& history,
                                                const std::optional<Uuid>& selectedClipId) override;

    // Maps each call on its own, so that one bad call costs only its own
    // command: it becomes an error tool result the model reads next turn.
    // Never throws for a call that cannot be mapped.
    MappedToolCalls mapToolCalls(const std::vector<ToolCall>& calls, const Project& context) const;

    // The two turns of one tool iteration: the assistant's (its blocks as text
    // and tool-use parts) and the user turn of tool results.
    static std::pair<ChatMessage, ChatMessage>
    buildIntermediateMessages(const std::vector<ContentBlock>& contentBlocks,
                              const std::vector<ToolResult>& toolResults);

private:
    std::shared_ptr<APIClient> apiClient_;
    ToolCallMapper toolCallMapper_;
    PromptBuilder promptBuilder_;
};

} // namespace vexel
