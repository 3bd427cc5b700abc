#pragma once

#include "domain/entities/ChatMessage.h"
#include "domain/entities/LLMResponse.h"
#include "domain/entities/LLMStreamEvent.h"
#include "foundation/AsyncChannel.h"
#include "foundation/Logger.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/ChatHistoryManager.h"

#include <QCoro/QCoroTask>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QThreadPool;

namespace vexel {

// Follows the assistant's event stream for one instruction and keeps the chat
// in step with it: the reply's text shows in a streaming message as it
// arrives, each tool iteration closes that message and puts the iteration's
// turns into the transcript, and a completed response with commands is handed
// once to the command step. Transport failures are logged and rethrown for the
// instruction view model to word. Built per instruction; GUI thread only.
class InstructionStreamProcessor {
public:
    // Starts the interpretation of one instruction (text, prior history,
    // selected clip) and returns its event stream at once.
    using StreamExecute = std::function<AsyncStream<LLMStreamEvent>(
        const std::string&, const std::vector<ChatMessage>&, const std::optional<Uuid>&)>;
    // The command step, given the completed response and whether a summary is
    // to be shown (no text was streamed for the instruction).
    using OnCommands = std::function<QCoro::Task<void>(LLMResponse response, bool showSummary)>;

    // Whether the conversation the instruction began in is still the one
    // shown; once it is not (a new project replaced it), the run touches the
    // chat no more and ends with CancellationError.
    using StillCurrent = std::function<bool()>;

    // `worker` waits for the stream's events off the GUI thread; none: the
    // global thread pool. Without `stillCurrent` the conversation always counts
    // as current.
    InstructionStreamProcessor(ChatHistoryManager& chatHistory, StreamExecute streamExecute,
                               std::shared_ptr<Logger> logger, QThreadPool* worker = nullptr,
                               StillCurrent stillCurrent = {});

    // Runs the instruction `text` (trimmed) to its end. Throws the error that
    // ended the stream, CancellationError when `stop` is requested, and
    // CancellationError when the chat went away meanwhile.
    QCoro::Task<void> streamSubmit(std::string text, std::vector<ChatMessage> priorHistory,
                                   std::optional<Uuid> selectedClipId, OnCommands onCommands,
                                   std::stop_token stop) const;

private:
    static QCoro::Task<void> run(QPointer<ChatHistoryManager> chat, StreamExecute streamExecute,
                                 std::shared_ptr<Logger> logger, QThreadPool* worker,
                                 StillCurrent stillCurrent, std::string text,
                                 std::vector<ChatMessage> priorHistory,
                                 std::optional<Uuid> selectedClipId, OnCommands onCommands,
                                 std::stop_token stop);

    QPointer<ChatHistoryManager> chatHistory_;
    StreamExecute streamExecute_;
    std::shared_ptr<Logger> logger_;
    QThreadPool* worker_;
    StillCurrent stillCurrent_;
};

} // namespace vexel
