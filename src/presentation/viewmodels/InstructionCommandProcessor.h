#pragma once

#include "domain/entities/BugReport.h"
#include "domain/entities/ChatMessage.h"
#include "domain/entities/FeatureRequest.h"
#include "domain/entities/LLMResponse.h"
#include "domain/entities/UnavailableMedia.h"
#include "foundation/Logger.h"
#include "presentation/viewmodels/ChatHistoryManager.h"
#include "presentation/viewmodels/ExportCoordinator.h"
#include "presentation/viewmodels/TimelineViewModel.h"

#include <QCoro/QCoroTask>
#include <QPointer>

#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

// Applies the commands of one completed assistant response: every editing
// command goes to the timeline as one all-or-nothing batch (one undo step);
// the first export to the export hand-off; the tutorial request, undo, redo
// and the support reports where they belong. Writes the outcome into the
// chat: an optional summary, the reports' notices, and a retryable error when
// the batch or the export fails. Built per use; GUI thread only.
class InstructionCommandProcessor {
public:
    // What the instruction view model lends for the meta commands; an empty
    // handler does nothing (a report then counts as sent).
    using MediaUnavailable = std::function<void(const std::vector<UnavailableMedia>&)>;
    struct Callbacks {
        std::function<void()> onShowTutorial;
        std::function<QCoro::Task<void>(BugReport)> onSubmitBugReport;
        std::function<QCoro::Task<void>(FeatureRequest)> onSubmitFeatureRequest;
        // The clips an export could not read, after the chat was told.
        MediaUnavailable onExportMediaUnavailable;
    };

    // Tells whether the conversation the work began in is still the one shown;
    // once it is not (a new project replaced it), the work touches nothing more.
    using StillCurrent = std::function<bool()>;

    // Without `stillCurrent` the conversation always counts as current.
    InstructionCommandProcessor(TimelineViewModel& timeline, ChatHistoryManager& chatHistory,
                                ExportCoordinator& exportCoordinator,
                                std::shared_ptr<Logger> logger, StillCurrent stillCurrent = {});

    // `originalText` (the instruction as typed) is what a retry of a failure
    // sends again. With `showSummary` the intermediate messages and a summary
    // (the response's message, else the batch's command summaries) are added
    // after a successful batch. Failures are reported in the chat, never
    // thrown; throws CancellationError only when the window went away or the
    // conversation was replaced.
    QCoro::Task<void> processCommands(LLMResponse response, std::string originalText,
                                      std::vector<ChatMessage> intermediateMessages,
                                      bool showSummary, Callbacks callbacks,
                                      std::stop_token stop) const;

    // The chat sentence of a failed batch or export.
    static std::string failureMessage(const std::exception_ptr& error);

private:
    struct Collaborators {
        QPointer<TimelineViewModel> timeline;
        QPointer<ChatHistoryManager> chat;
        QPointer<ExportCoordinator> exportCoordinator;
        std::shared_ptr<Logger> logger;
        StillCurrent stillCurrent;

        // The collaborator, while it exists and the conversation is current;
        // CancellationError otherwise.
        template <class T> T& use(const QPointer<T>& object) const;
    };

    static QCoro::Task<void> run(Collaborators with, LLMResponse response, std::string originalText,
                                 std::vector<ChatMessage> intermediateMessages, bool showSummary,
                                 Callbacks callbacks, std::stop_token stop);
    static void reportFailure(const Collaborators& with, const std::exception_ptr& error,
                              const std::string& originalText, const std::stop_token& stop);

    Collaborators collaborators_;
};

} // namespace vexel
