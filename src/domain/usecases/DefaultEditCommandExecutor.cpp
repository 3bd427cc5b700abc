#include "domain/usecases/DefaultEditCommandExecutor.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/TrackOverlap.h"

#include <exception>

namespace vexel {

Project DefaultEditCommandExecutor::execute(const EditCommand& command) {
    const CommandHandler* handler = registry_.handler(command);
    if (handler == nullptr) {
        throw EditError::unsupportedCommand();
    }
    const Project project = projectRepository_->load();
    return handler->execute(command, project);
}

Project DefaultEditCommandExecutor::executeBatch(const std::vector<EditCommand>& commands) {
    const Project snapshot = projectRepository_->load();
    if (commands.empty()) {
        return snapshot;
    }
    try {
        Project working = snapshot;
        for (const auto& command : commands) {
            working = applyToBatch(command, working);
        }
        checkNoInternalOverlap(working);
        projectRepository_->save(working);
        return working;
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        try {
            projectRepository_->save(snapshot);
        } catch (...) {
            throw EditError::rollbackFailed();
        }
        std::rethrow_exception(failure);
    }
}

Project DefaultEditCommandExecutor::applyToBatch(const EditCommand& command,
                                                 const Project& project) {
    if (const auto* move = command.getIf<EditCommand::Move>()) {
        return batchHandlers_.moveClip.applyTo(project, move->clipId, move->to, move->toTrackId,
                                               false);
    }
    if (const auto* trim = command.getIf<EditCommand::Trim>()) {
        return batchHandlers_.trimClip.applyTo(project, trim->clipId, trim->sourceStart,
                                               trim->duration);
    }
    if (const auto* remove = command.getIf<EditCommand::RemoveClip>()) {
        return batchHandlers_.removeClip.applyTo(project, remove->clipId);
    }
    if (const auto* split = command.getIf<EditCommand::Split>()) {
        return batchHandlers_.splitClip.applyTo(project, split->clipId, split->at);
    }
    if (const auto* duplicate = command.getIf<EditCommand::DuplicateClip>()) {
        return batchHandlers_.duplicateClip.applyTo(project, duplicate->clipId, duplicate->at);
    }
    // The handler reads the repository, so it must see the batch's work so far.
    projectRepository_->save(project);
    return execute(command);
}

Project DefaultEditCommandExecutor::addClipFromURL(const std::filesystem::path& url,
                                                   TrackType trackType, std::optional<double> at,
                                                   std::optional<std::string> originalName) {
    return addClipUseCase_.execute(url, trackType, at, originalName, std::nullopt);
}

ExportResult DefaultEditCommandExecutor::exportProject(ExportFormat format,
                                                       const ExportProgressHandler& onProgress,
                                                       std::stop_token stopToken) {
    return exportUseCase_.execute(format, onProgress, std::move(stopToken));
}

} // namespace vexel
