#pragma once

#include "domain/entities/EditHistory.h"
#include "domain/entities/Project.h"
#include "domain/usecases/AddClipUseCase.h"
#include "domain/usecases/DefaultEditCommandExecutor.h"
#include "domain/usecases/DefaultHandlers.h"
#include "domain/usecases/ExportUseCase.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/FakeProjectRepository.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vexel::testing {

// One repository with the edit engine built over it as the application builds
// it, plus the undo history its owner keeps. Extra handlers go in front of the
// editor's own, so that they take the commands they accept first.
struct EditEngineHarness {
    explicit EditEngineHarness(Project project,
                               std::vector<std::shared_ptr<const CommandHandler>> extra = {})
        : repository(std::make_shared<FakeProjectRepository>(std::move(project)))
        , mediaLoader(std::make_shared<FakeMediaLoader>())
        , exportService(std::make_shared<FakeExportService>())
        , executor(makeExecutor(std::move(extra))) {}

    DefaultEditCommandExecutor
    makeExecutor(std::vector<std::shared_ptr<const CommandHandler>> extra) const {
        CommandHandlerRegistry registry = makeDefaultCommandHandlers(mediaLoader);
        registry.handlers.insert(registry.handlers.begin(), extra.begin(), extra.end());
        return DefaultEditCommandExecutor(std::move(registry), {}, repository,
                                          AddClipUseCase(mediaLoader),
                                          ExportUseCase(repository, exportService));
    }

    // Runs one change as the timeline's owner does: the project before it
    // becomes an undo snapshot only when the change succeeds.
    Project change(const std::function<Project()>& edit) {
        const Project before = repository->load();
        Project after = edit();
        history.pushSnapshot(before);
        return after;
    }

    // One command through the executor, as a change of the timeline's owner.
    Project execute(const EditCommand& command) {
        return change([&] { return executor.execute(command); });
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

// A use case as its tests drive it: its pure operations as they are, and its
// command, built from the payload's fields in order, through the engine's
// executor, which loads, applies and saves as the editor does.
template <class UseCase> class UseCaseDriver : public UseCase {
public:
    template <class... UseCaseArguments>
    explicit UseCaseDriver(EditEngineHarness& engine, UseCaseArguments&&... arguments)
        : UseCase(std::forward<UseCaseArguments>(arguments)...)
        , engine_(engine) {}

    template <class... Fields> Project execute(Fields&&... fields) const {
        return engine_.executor.execute(typename UseCase::Command(std::forward<Fields>(fields)...));
    }

private:
    EditEngineHarness& engine_;
};

} // namespace vexel::testing
