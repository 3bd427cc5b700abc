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

// Runs commands against the repository's project. Holds no project of its own
// and no lock: callers run one project-changing operation at a time.
class DefaultEditCommandExecutor : public EditCommandExecutor {
public:
    // The arranging use cases whose pure operations a batch runs on its working
    // copy; the same values (same repository) as the registry's.
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

    // A command no handler accepts fails with EditError::unsupportedCommand.
    Project execute(const EditCommand& command) override;

    // Move, trim, split, remove and duplicate run on a working copy; any other
    // command goes through its handler with the working copy saved first. One
    // overlap check over every track runs after the last command, so a batch may
    // pass through overlapping states. On any failure the project from before
    // the batch is saved back and the first error is rethrown unchanged.
    Project executeBatch(const std::vector<EditCommand>& commands) override;

    Project addClipFromURL(const std::filesystem::path& url, TrackType trackType,
                           std::optional<double> at,
                           std::optional<std::string> originalName) override;

    ExportResult exportProject(ExportFormat format, const ExportProgressHandler& onProgress,
                               std::stop_token stopToken) override;

private:
    Project applyToBatch(const EditCommand& command, const Project& project);

    CommandHandlerRegistry registry_;
    BatchHandlers batchHandlers_;
    std::shared_ptr<ProjectRepository> projectRepository_;
    AddClipUseCase addClipUseCase_;
    ExportUseCase exportUseCase_;
};

} // namespace vexel
