#include "presentation/viewmodels/InstructionStreamProcessor.h"

#include "foundation/CancellationError.h"
#include "infrastructure/network/APIClientError.h"
#include "infrastructure/network/AuthenticationError.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QThreadPool>

#include <cstddef>
#include <exception>
#include <utility>
#include <vector>

namespace vexel {

namespace {

// The chat belongs to the view model; when the window closed during a wait,
// nothing is left to show the rest in, and when a new project replaced the
// conversation nothing of this instruction may show in the new one.
bool usable(const QPointer<ChatHistoryManager>& chat,
            const InstructionStreamProcessor::StillCurrent& stillCurrent) {
    return chat && (!stillCurrent || stillCurrent());
}

// Events taken from the stream per wake-up of the GUI thread.
constexpr std::size_t eventsPerWakeUp = 4096;

// Whether the streaming message should show the text again now that it has
// `size` bytes, `shown` of which it shows. Every showing copies and lays out
// the whole text, so past the length of any real reply it is shown again only
// once it has doubled: the work of a reply that keeps growing stays
// proportional to its length instead of to its square.
bool worthShowing(std::size_t size, std::size_t shown) {
    constexpr std::size_t alwaysShownLength = 16 * 1024;
    return size <= alwaysShownLength || size >= 2 * shown;
}

void logStreamFailure(Logger& logger, const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const APIClientError& apiError) {
        logger.error("[Instruction] API error: " + apiError.logSafeDescription());
    } catch (const AuthenticationError& authError) {
        logger.error("[Instruction] Auth error: " + authError.logSafeDescription());
    } catch (...) {
    }
}

} // namespace

InstructionStreamProcessor::InstructionStreamProcessor(ChatHistoryManager& chatHistory,
                                                       StreamExecute streamExecute,
                                                       std::shared_ptr<Logger> logger,
                                                       QThreadPool* worker,
                                                       StillCurrent stillCurrent)
    : chatHistory_(&chatHistory)
    , streamExecute_(std::move(streamExecute))
    , logger_(std::move(logger))
    , worker_(worker ? worker : QThreadPool::globalInstance())
    , stillCurrent_(std::move(stillCurrent)) {}

QCoro::Task<void> InstructionStreamProcessor::streamSubmit(std::string text,
                                                           std::vector<ChatMessage> priorHistory,
                                                           std::optional<Uuid> selectedClipId,
                                                           OnCommands onCommands,
                                                           std::stop_token stop) const {
    return run(chatHistory_, streamExecute_, logger_, worker_, stillCurrent_, std::move(text),
               std::move(priorHistory), std::move(selectedClipId), std::move(onCommands),
               std::move(stop));
}

QCoro::Task<void> InstructionStreamProcessor::run(
    QPointer<ChatHistoryManager> chat, StreamExecute streamExecute, std::shared_ptr<Logger> logger,
    QThreadPool* worker, StillCurrent stillCurrent, std::string text,
    std::vector<ChatMessage> priorHistory, std::optional<Uuid> selectedClipId,
    OnCommands onCommands, std::stop_token stop) {
    const auto alive = [&chat, &stillCurrent]() -> ChatHistoryManager& {
        if (!usable(chat, stillCurrent)) {
            throw CancellationError();
        }
        return *chat;
    };
    Uuid streamingId = Uuid::random();
    alive().appendStreamingMessage(streamingId);

    std::string accumulated;
    bool textStreamed = false;
    std::optional<LLMResponse> response;
    std::exception_ptr failure;
    try {
        AsyncStream<LLMStreamEvent> events = streamExecute(text, priorHistory, selectedClipId);
        // How much of `accumulated` the streaming message shows.
        std::size_t shown = 0;
        for (;;) {
            std::vector<LLMStreamEvent> batch =
                co_await nextBatchFromStream(worker, events, eventsPerWakeUp, stop);
            if (batch.empty()) {
                break;
            }
            throwIfCancelled(stop);
            ChatHistoryManager& history = alive();
            bool textArrived = false;
            for (const LLMStreamEvent& event : batch) {
                if (const auto* delta = event.getIf<LLMStreamEvent::TextDelta>()) {
                    accumulated += delta->text;
                    textArrived = true;
                    textStreamed = true;
                } else if (const auto* iteration =
                               event.getIf<LLMStreamEvent::IterationCompleted>()) {
                    history.finalizeStreamingMessage(streamingId, "");
                    history.appendMessages(iteration->intermediateMessages);
                    accumulated.clear();
                    shown = 0;
                    textArrived = false;
                    streamingId = Uuid::random();
                    history.appendStreamingMessage(streamingId);
                } else if (const auto* completed = event.getIf<LLMStreamEvent::Completed>()) {
                    response = completed->response;
                }
            }
            if (textArrived && worthShowing(accumulated.size(), shown)) {
                history.updateStreamingMessage(streamingId, accumulated);
                shown = accumulated.size();
            }
        }

        alive().finalizeStreamingMessage(streamingId, accumulated);
        if (response && response->commands.empty()) {
            if (!textStreamed && response->message.empty()) {
                alive().appendAssistantMessage("No changes made.");
            }
        } else if (response) {
            const std::size_t before = alive().messages().size();
            QCoro::Task<void> commands = onCommands(std::move(*response), !textStreamed);
            co_await commands;
            // A notice of the command step (an error, "Cancelled.", a report's
            // outcome) stands in place of the last iteration's streamed text.
            if (textStreamed && alive().messages().size() > before) {
                alive().removeMessage(streamingId);
            }
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        // The half-streamed reply of the failing iteration never stays.
        if (usable(chat, stillCurrent)) {
            chat->finalizeStreamingMessage(streamingId, "");
        }
        logStreamFailure(*logger, failure);
        std::rethrow_exception(failure);
    }
}

} // namespace vexel
