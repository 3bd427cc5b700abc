#include "domain/usecases/ExportUseCase.h"

#include "domain/entities/EditError.h"

#include <algorithm>

namespace vexel {

ExportResult ExportUseCase::execute(ExportFormat format, const ExportProgressHandler& onProgress,
                                    std::stop_token stopToken) const {
    Project project = projectRepository_->load();
    const bool hasClip = std::any_of(project.tracks.begin(), project.tracks.end(),
                                     [](const Track& track) { return !track.clips.empty(); });
    if (!hasClip) {
        throw EditError::emptyProject();
    }
    auto outputURL = exportService_->exportProject(project, format, onProgress, stopToken);
    return ExportResult{std::move(project), std::move(outputURL)};
}

} // namespace vexel
