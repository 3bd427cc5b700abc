#pragma once

#include "domain/entities/ExportResult.h"
#include "domain/entities/Project.h"
#include "domain/protocols/EditCommandExecutor.h"
#include "domain/protocols/ProjectRepository.h"
#include "domain/usecases/AddClipUseCase.h"
#include "domain/usecases/CommandHandlerRegistry.h"
#include "domain/usecases/DuplicateClipUseCase.h"
#include "domain/usecases/ExportUseCase.h"
#include "domain/usecases/MoveClipUseCase.h"
#include "domain/usecases/RemoveClipUseCase.h"
#include "domain/usecases/SplitClipUseCase.h"
#include "domain/usecases/TrimClipUseCase.h"

#include <memory>

namespace vexel {

// Runs commands against the repository's project; the one caller of the
// repository's load and save on the editing road. Holds no project of its own
// and no lock: callers run one project-changing operation at a time.
class DefaultEditCommandExecutor : public EditCommandExecutor {
public:
    // The arranging use cases whose own operations a batch runs on its working
    // copy, where a move makes no overlap test.
    struct BatchHandlers {
        MoveClipUseCase moveClip;
        TrimClipUseCase trimClip;
        SplitClipUseCase splitClip;
        RemoveClipUseCase removeClip;
        DuplicateClipUseCase duplicateClip;
    };

    DefaultEditCommandExecutor(CommandHandlerRegistry registry, BatchHandlers batchHandlers,
                               std::shared_ptr<ProjectRepository> projectRepository,
                               AddClipUseCase addClipUseCase, ExportUseCase exportUseCase)
        : registry_(std::move(registry))
        , batchHandlers_(std::move(batchHandlers))
        , projectRepository_(std::move(projectRepository))
        , addClipUseCase_(std::move(addClipUseCase))
        , exportUseCase_(std::move(exportUseCase)) {}

    // Loads the project, hands it to the command's handler and saves what comes
    // back. A command no handler accepts fails with EditError::unsupportedCommand
    // before anything is read; a failing handler leaves the repository as it was.
    Project execute(const EditCommand& command) override;

    // Every command runs on one working copy of the project, loaded once: move,
    // trim, split, remove and duplicate through the batch's own rules (a move
    // makes no overlap test), any other command through its handler with all of
    // its checks. One overlap check over every track runs after the last
    // command, so a batch may pass through overlapping states. Only a batch that
    // passes is saved, once; on any failure the repository still holds the
    // project from before the batch and the first error is rethrown unchanged.
    Project executeBatch(const std::vector<EditCommand>& commands) override;

    Project addClipFromURL(const std::filesystem::path& url, TrackType trackType,
                           std::optional<double> at,
                           std::optional<std::string> originalName) override;

    ExportResult exportProject(ExportFormat format, const ExportProgressHandler& onProgress,
                               std::stop_token stopToken) override;

private:
    Project applyToBatch(const EditCommand& command, Project project) const;
    const CommandHandler& handlerFor(const EditCommand& command) const;

    CommandHandlerRegistry registry_;
    BatchHandlers batchHandlers_;
    std::shared_ptr<ProjectRepository> projectRepository_;
    AddClipUseCase addClipUseCase_;
    ExportUseCase exportUseCase_;
};

} // namespace vexel
