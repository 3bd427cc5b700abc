#include "presentation/viewmodels/InstructionCommandProcessor.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ExportError.h"
#include "foundation/CancellationError.h"
#include "presentation/helpers/CommandDescriptions.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <typeinfo>
#include <utility>

namespace vexel {

namespace {

// The collaborators belong to the window's view models; when the window
// closed during a wait there is nothing left to report to.
template <class T> T& alive(const QPointer<T>& object) {
    if (!object) {
        throw CancellationError();
    }
    return *object;
}

bool isCancellation(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const CancellationError&) {
        return true;
    } catch (...) {
        return false;
    }
}

// "vexel::EditError — <its description>", for the log.
std::string typeAndDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (...) {
        std::string type = "unknown";
        if (const std::type_info* info = abi::__cxa_current_exception_type()) {
            int status = 0;
            std::unique_ptr<char, decltype(&std::free)> name(
                abi::__cxa_demangle(info->name(), nullptr, nullptr, &status), &std::free);
            type = status == 0 && name ? name.get() : info->name();
        }
        std::string description = "unknown error";
        try {
            throw;
        } catch (const std::exception& exception) {
            description = exception.what();
        } catch (...) {
        }
        return type + " — " + description;
    }
}

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

InstructionCommandProcessor::InstructionCommandProcessor(TimelineViewModel& timeline,
                                                         ChatHistoryManager& chatHistory,
                                                         ExportCoordinator& exportCoordinator,
                                                         std::shared_ptr<Logger> logger)
    : collaborators_{&timeline, &chatHistory, &exportCoordinator, std::move(logger)} {}

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
    } catch (const ExportError& exportError) {
        switch (exportError.kind()) {
        case ExportError::Kind::exportFailed:
            return "Export failed. Please try again.";
        case ExportError::Kind::readerFailed:
            return "Failed to read the video. The file may be corrupted or use an unsupported "
                   "codec.";
        case ExportError::Kind::writerFailed:
            return "Export failed. Check disk space and try a different format.";
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
        QCoro::Task<void> batch = alive(with.timeline).executeCommands(parts.batch);
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
        ChatHistoryManager& chat = alive(with.chat);
        chat.appendMessages(std::move(intermediateMessages));
        if (!summaryText.empty()) {
            chat.appendAssistantMessage(summaryText);
        }
    }

    if (!parts.exportFormats.empty()) {
        ExportProgressHandler onProgress = alive(with.exportCoordinator).beginExport();
        std::optional<ExportResult> result;
        try {
            QCoro::Task<ExportResult> exporting =
                alive(with.timeline)
                    .commandExecutor()
                    .exportProject(parts.exportFormats.front(), std::move(onProgress), stop);
            result = co_await exporting;
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure) {
            reportFailure(with, failure, originalText, stop);
            co_return;
        }
        ExportCoordinator& coordinator = alive(with.exportCoordinator);
        coordinator.endExport();
        coordinator.requestSave(result->outputURL);
    }

    if (parts.showTutorial && callbacks.onShowTutorial) {
        callbacks.onShowTutorial();
    }

    for (const EditCommand& command : response.commands) {
        if (command.is<EditCommand::Undo>()) {
            alive(with.timeline).undo();
            continue;
        }
        if (command.is<EditCommand::Redo>()) {
            alive(with.timeline).redo();
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
        alive(with.chat).appendAssistantMessage(sent ? "Report saved. Thank you for your feedback!"
                                                     : "Failed to save report. Please try again.");
    }
}

void InstructionCommandProcessor::reportFailure(const Collaborators& with,
                                                const std::exception_ptr& error,
                                                const std::string& originalText,
                                                const std::stop_token& stop) {
    ExportCoordinator& coordinator = alive(with.exportCoordinator);
    if (coordinator.exportProgress()) {
        coordinator.endExport();
    }
    ChatHistoryManager& chat = alive(with.chat);
    if (stop.stop_requested() || isCancellation(error)) {
        chat.appendAssistantMessage("Cancelled.");
        return;
    }
    with.logger->error("[Instruction] Command execution failed: " + typeAndDescription(error));
    chat.appendErrorMessage(failureMessage(error), originalText);
}

} // namespace vexel
