#include "presentation/viewmodels/InstructionCommandProcessor.h"

#include "data/media/FFmpegMediaLoaderError.h"
#include "domain/entities/EditError.h"
#include "domain/entities/ExportError.h"
#include "foundation/CancellationError.h"
#include "foundation/UnicodeText.h"
#include "presentation/helpers/CommandDescriptions.h"
#include "presentation/viewmodels/DocumentMessages.h"
#include "presentation/viewmodels/FailureText.h"
#include "presentation/viewmodels/MediaImport.h"

#include <memory>
#include <optional>
#include <utility>

namespace vexel {

namespace {

struct Partition {
    std::vector<EditCommand> batch;
    std::vector<ExportFormat> exportFormats;
    bool showTutorial = false;
};

Partition partition(const std::vector<EditCommand>& commands) {
    Partition parts;
    for (const EditCommand& command : commands) {
        if (const auto* exportCommand = command.getIf<EditCommand::Export>()) {
            parts.exportFormats.push_back(exportCommand->format);
        } else if (command.is<EditCommand::ShowTutorial>()) {
            parts.showTutorial = true;
        } else if (!command.is<EditCommand::ReportBug>() &&
                   !command.is<EditCommand::RequestFeature>() && !command.is<EditCommand::Undo>() &&
                   !command.is<EditCommand::Redo>()) {
            parts.batch.push_back(command);
        }
    }
    return parts;
}

} // namespace

// The collaborators belong to the window's view models; when the window closed
// during a wait there is nothing left to report to, and when a new project
// replaced the conversation nothing of the old one may show in it.
template <class T>
T& InstructionCommandProcessor::Collaborators::use(const QPointer<T>& object) const {
    if (!object || (stillCurrent && !stillCurrent())) {
        throw CancellationError();
    }
    return *object;
}

InstructionCommandProcessor::InstructionCommandProcessor(TimelineViewModel& timeline,
                                                         ChatHistoryManager& chatHistory,
                                                         ExportCoordinator& exportCoordinator,
                                                         std::shared_ptr<Logger> logger,
                                                         StillCurrent stillCurrent)
    : collaborators_{&timeline, &chatHistory, &exportCoordinator, std::move(logger),
                     std::move(stillCurrent)} {}

QCoro::Task<void> InstructionCommandProcessor::processCommands(
    LLMResponse response, std::string originalText, std::vector<ChatMessage> intermediateMessages,
    bool showSummary, Callbacks callbacks, std::stop_token stop) const {
    return run(collaborators_, std::move(response), std::move(originalText),
               std::move(intermediateMessages), showSummary, std::move(callbacks), std::move(stop));
}

std::string InstructionCommandProcessor::failureMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const EditError& editError) {
        return editError.userMessage();
    } catch (const FFmpegMediaLoaderError& loaderError) {
        // A file refused for what it is (a pipe, a folder, a device): trying
        // another way cannot help, so the message names the file and why.
        if (loaderError.specialFile()) {
            return loaderError.userMessage();
        }
        // What its content showed (damaged, empty, not media) is as final.
        if (const std::optional<std::string> reason = loaderError.reasonText()) {
            return mediaimport::failedToAdd(
                unicode::replacingInvalidUtf8(loaderError.url().filename().string()), *reason);
        }
    } catch (const ExportError& exportError) {
        switch (exportError.kind()) {
        case ExportError::Kind::exportFailed:
            return "Export failed. Please try again.";
        case ExportError::Kind::readerFailed:
            return "Failed to read the video. The file may be corrupted or use an unsupported "
                   "codec.";
        case ExportError::Kind::writerFailed:
            return "Export failed. Check disk space and try a different format.";
        case ExportError::Kind::mediaUnavailable:
            return documentmessages::exportFailedOnMedia(exportError.unavailableMedia());
        }
    } catch (...) {
    }
    return "Failed to apply changes. Please try a different approach.";
}

QCoro::Task<void> InstructionCommandProcessor::run(Collaborators with, LLMResponse response,
                                                   std::string originalText,
                                                   std::vector<ChatMessage> intermediateMessages,
                                                   bool showSummary, Callbacks callbacks,
                                                   std::stop_token stop) {
    Partition parts = partition(response.commands);

    std::exception_ptr failure;
    try {
        QCoro::Task<void> batch = with.use(with.timeline).executeCommands(parts.batch);
        co_await batch;
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        reportFailure(with, failure, originalText, stop);
        co_return;
    }

    if (showSummary) {
        const std::string summaryText =
            response.message.empty() ? buildCommandSummary(parts.batch) : response.message;
        ChatHistoryManager& chat = with.use(with.chat);
        chat.appendMessages(std::move(intermediateMessages));
        if (!summaryText.empty()) {
            chat.appendAssistantMessage(summaryText);
        }
    }

    if (!parts.exportFormats.empty()) {
        ExportProgressHandler onProgress = with.use(with.exportCoordinator).beginExport();
        std::optional<ExportResult> result;
        try {
            QCoro::Task<ExportResult> exporting =
                with.use(with.timeline)
                    .commandExecutor()
                    .exportProject(parts.exportFormats.front(), std::move(onProgress), stop);
            result = co_await exporting;
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure) {
            reportFailure(with, failure, originalText, stop);
            if (callbacks.onExportMediaUnavailable) {
                try {
                    std::rethrow_exception(failure);
                } catch (const ExportError& exportError) {
                    if (!exportError.unavailableMedia().empty()) {
                        callbacks.onExportMediaUnavailable(exportError.unavailableMedia());
                    }
                } catch (...) {
                }
            }
            co_return;
        }
        ExportCoordinator& coordinator = with.use(with.exportCoordinator);
        coordinator.endExport();
        coordinator.requestSave(result->outputURL);
    }

    if (parts.showTutorial && callbacks.onShowTutorial) {
        callbacks.onShowTutorial();
    }

    for (const EditCommand& command : response.commands) {
        if (command.is<EditCommand::Undo>()) {
            with.use(with.timeline).undo();
            continue;
        }
        if (command.is<EditCommand::Redo>()) {
            with.use(with.timeline).redo();
            continue;
        }
        std::optional<QCoro::Task<void>> submission;
        if (const auto* bug = command.getIf<EditCommand::ReportBug>()) {
            if (callbacks.onSubmitBugReport) {
                submission = callbacks.onSubmitBugReport(bug->report);
            }
        } else if (const auto* feature = command.getIf<EditCommand::RequestFeature>()) {
            if (callbacks.onSubmitFeatureRequest) {
                submission = callbacks.onSubmitFeatureRequest(feature->request);
            }
        } else {
            continue;
        }
        bool sent = true;
        if (submission) {
            try {
                co_await *submission;
            } catch (const CancellationError&) {
                throw;
            } catch (...) {
                sent = false;
            }
        }
        if (!sent) {
            with.logger->error("[Support] Failed to save support report");
        }
        with.use(with.chat).appendAssistantMessage(
            sent ? "Report saved. Thank you for your feedback!"
                 : "Failed to save report. Please try again.");
    }
}

void InstructionCommandProcessor::reportFailure(const Collaborators& with,
                                                const std::exception_ptr& error,
                                                const std::string& originalText,
                                                const std::stop_token& stop) {
    ExportCoordinator& coordinator = with.use(with.exportCoordinator);
    if (coordinator.exportProgress()) {
        coordinator.endExport();
    }
    ChatHistoryManager& chat = with.use(with.chat);
    if (stop.stop_requested() || isCancellation(error)) {
        chat.appendAssistantMessage("Cancelled.");
        return;
    }
    with.logger->error("[Instruction] Command execution failed: " + typeAndDescription(error));
    chat.appendErrorMessage(failureMessage(error), originalText);
}

} // namespace vexel
