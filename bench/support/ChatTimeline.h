#pragma once

#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "foundation/Logger.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"

#include <memory>

namespace vexel::bench {

// The timeline as the chat reaches it: over the real edit engine and an
// in-memory repository, with stand-ins for media probing and export. A base
// of the benches' chat roads, which add the instruction view model on top.
struct ChatTimeline {
    explicit ChatTimeline(const Project& project = Project::makeNew())
        : repository(std::make_shared<InMemoryProjectRepository>(project)) {}

    std::shared_ptr<Logger> logger = std::make_shared<NullLogger>();
    std::shared_ptr<InMemoryProjectRepository> repository;
    ErrorBannerViewModel banner{logger};
    TimelineViewModel timeline{
        repository->load(), banner,
        WrappedEditCommandExecutor(
            std::make_shared<DefaultEditCommandExecutor>(makeDefaultEditCommandExecutor(
                repository, std::make_shared<vexel::testing::FakeMediaLoader>(),
                std::make_shared<vexel::testing::FakeExportService>())))};
};

} // namespace vexel::bench
