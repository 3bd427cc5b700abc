#include "domain/usecases/DefaultEditCommandExecutor.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/TrackOverlap.h"

namespace vexel {

const CommandHandler& DefaultEditCommandExecutor::handlerFor(const EditCommand& command) const {
    const CommandHandler* handler = registry_.handler(command);
    if (handler == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return *handler;
}

Project DefaultEditCommandExecutor::execute(const EditCommand& command) {
    const CommandHandler& handler = handlerFor(command);
    Project result = handler.apply(command, projectRepository_->load());
    if (handler.savesResult()) {
        projectRepository_->save(result);
    }
    return result;
}

Project DefaultEditCommandExecutor::executeBatch(const std::vector<EditCommand>& commands) {
    // Nothing reaches the repository before the batch has passed, so a failure
    // leaves the project from before the batch in place: there is nothing to
    // restore, and no reader ever sees a half-done batch.
    Project working = projectRepository_->load();
    if (commands.empty()) {
        return working;
    }
    for (const auto& command : commands) {
        working = applyToBatch(command, std::move(working));
    }
    checkNoInternalOverlap(working);
    projectRepository_->save(working);
    return working;
}

Project DefaultEditCommandExecutor::applyToBatch(const EditCommand& command,
                                                 Project project) const {
    if (const auto* move = command.getIf<EditCommand::Move>()) {
        return batchHandlers_.moveClip.applyTo(std::move(project), move->clipId, move->to,
                                               move->toTrackId, false);
    }
    if (const auto* trim = command.getIf<EditCommand::Trim>()) {
        return batchHandlers_.trimClip.applyTo(std::move(project), trim->clipId, trim->sourceStart,
                                               trim->duration);
    }
    if (const auto* remove = command.getIf<EditCommand::RemoveClip>()) {
        return batchHandlers_.removeClip.applyTo(std::move(project), remove->clipId);
    }
    if (const auto* split = command.getIf<EditCommand::Split>()) {
        return batchHandlers_.splitClip.applyTo(std::move(project), split->clipId, split->at);
    }
    if (const auto* duplicate = command.getIf<EditCommand::DuplicateClip>()) {
        return batchHandlers_.duplicateClip.applyTo(std::move(project), duplicate->clipId,
                                                    duplicate->at);
    }
    return handlerFor(command).apply(command, std::move(project));
}

Project DefaultEditCommandExecutor::addClipFromURL(const std::filesystem::path& url,
                                                   TrackType trackType, std::optional<double> at,
                                                   std::optional<std::string> originalName) {
    const MediaAsset asset = addClipUseCase_.loadAsset(url);
    Project result = addClipUseCase_.applyTo(projectRepository_->load(), asset, trackType, at,
                                             originalName, std::nullopt);
    projectRepository_->save(result);
    return result;
}

ExportResult DefaultEditCommandExecutor::exportProject(ExportFormat format,
                                                       const ExportProgressHandler& onProgress,
                                                       std::stop_token stopToken) {
    return exportUseCase_.execute(format, onProgress, std::move(stopToken));
}

} // namespace vexel
