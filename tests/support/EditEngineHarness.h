#pragma once

#include "domain/entities/EditHistory.h"
#include "domain/entities/Project.h"
#include "domain/usecases/AddClipUseCase.h"
#include "domain/usecases/AddTextUseCase.h"
#include "domain/usecases/AddTrackUseCase.h"
#include "domain/usecases/DefaultEditCommandExecutor.h"
#include "domain/usecases/DuplicateClipUseCase.h"
#include "domain/usecases/ExportUseCase.h"
#include "domain/usecases/MetaCommandHandler.h"
#include "domain/usecases/MoveClipUseCase.h"
#include "domain/usecases/RemoveClipUseCase.h"
#include "domain/usecases/SplitClipUseCase.h"
#include "domain/usecases/TrimClipUseCase.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/FakeProjectRepository.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace vexel::testing {

// One repository with the edit engine built over it as the application builds
// it, plus the undo history its owner keeps. Handlers can be added in front of
// the meta handler to stand for operations the engine does not know yet.
struct EditEngineHarness {
    explicit EditEngineHarness(Project project,
                               std::vector<std::shared_ptr<const CommandHandler>> extra = {})
        : repository(std::make_shared<FakeProjectRepository>(std::move(project)))
        , mediaLoader(std::make_shared<FakeMediaLoader>())
        , exportService(std::make_shared<FakeExportService>())
        , executor(makeExecutor(std::move(extra))) {}

    DefaultEditCommandExecutor
    makeExecutor(std::vector<std::shared_ptr<const CommandHandler>> extra) const {
        const MoveClipUseCase move(repository);
        const TrimClipUseCase trim(repository);
        const SplitClipUseCase split(repository);
        const RemoveClipUseCase remove(repository);
        const DuplicateClipUseCase duplicate(repository);
        const AddClipUseCase addClip(mediaLoader, repository);
        CommandHandlerRegistry registry;
        registry.handlers = {std::make_shared<MoveClipUseCase>(move),
                             std::make_shared<TrimClipUseCase>(trim),
                             std::make_shared<AddClipUseCase>(addClip),
                             std::make_shared<RemoveClipUseCase>(remove),
                             std::make_shared<AddTextUseCase>(repository),
                             std::make_shared<SplitClipUseCase>(split),
                             std::make_shared<DuplicateClipUseCase>(duplicate),
                             std::make_shared<AddTrackUseCase>(repository)};
        for (auto& handler : extra) {
            registry.handlers.push_back(std::move(handler));
        }
        registry.handlers.push_back(std::make_shared<MetaCommandHandler>(repository));
        return DefaultEditCommandExecutor(std::move(registry),
                                          {move, trim, split, remove, duplicate}, repository,
                                          addClip, ExportUseCase(repository, exportService));
    }

    // Runs one change as the timeline's owner does: the project before it
    // becomes an undo snapshot only when the change succeeds.
    Project change(const std::function<Project()>& edit) {
        const Project before = repository->load();
        Project after = edit();
        history.pushSnapshot(before);
        return after;
    }

    // The owner's Undo and Redo: step the history and store what it gives back.
    void undo() {
        auto restored = history.undoFrom(repository->load());
        ASSERT_TRUE(restored.has_value());
        repository->save(*restored);
    }
    void redo() {
        auto restored = history.redoFrom(repository->load());
        ASSERT_TRUE(restored.has_value());
        repository->save(*restored);
    }

    // Apply -> check -> undo -> check the earlier state -> redo -> check again.
    void expectUndoable(const Project& before, const Project& after) {
        ASSERT_EQ(repository->current(), after);
        undo();
        EXPECT_EQ(repository->current(), before);
        redo();
        EXPECT_EQ(repository->current(), after);
    }

    std::shared_ptr<FakeProjectRepository> repository;
    std::shared_ptr<FakeMediaLoader> mediaLoader;
    std::shared_ptr<FakeExportService> exportService;
    DefaultEditCommandExecutor executor;
    EditHistory history;
};

} // namespace vexel::testing
