#pragma once

#include "domain/entities/ExportResult.h"
#include "domain/protocols/ExportService.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <stop_token>

namespace vexel {

// Exports the repository's current project through the export service.
class ExportUseCase {
public:
    ExportUseCase(std::shared_ptr<ProjectRepository> projectRepository,
                  std::shared_ptr<ExportService> exportService)
        : projectRepository_(std::move(projectRepository))
        , exportService_(std::move(exportService)) {}

    // Reads the project once (later edits do not reach this export); a project
    // without any clip fails with EditError::emptyProject before the service is
    // asked. The service's errors, cancellation included, pass through unchanged.
    ExportResult execute(ExportFormat format, const ExportProgressHandler& onProgress,
                         std::stop_token stopToken = {}) const;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
    std::shared_ptr<ExportService> exportService_;
};

} // namespace vexel
