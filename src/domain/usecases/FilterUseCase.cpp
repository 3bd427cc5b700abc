#include "domain/usecases/FilterUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/entities/FilterPreset.h"
#include "domain/usecases/ClipEditSteps.h"

#include <algorithm>

namespace vexel {

Project FilterUseCase::applyTo(Project project, const Uuid& clipId, const std::string& filterName,
                               std::optional<double> intensity) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    ClipBuilder builder(clip);
    if (filterName.empty() || filterName == "none") {
        builder.filter = std::nullopt;
        return std::move(project).replacingClip(builder.build());
    }
    const auto& names = FilterPreset::supportedNames;
    if (std::find(names.begin(), names.end(), filterName) == names.end()) {
        throw EditError::invalidFilterName(filterName);
    }
    if (intensity && !(0 <= *intensity && *intensity <= 1)) {
        throw EditError::invalidFilterIntensity(*intensity);
    }
    builder.filter = FilterPreset{filterName, intensity.value_or(1.0)};
    return std::move(project).replacingClip(builder.build());
}

Project FilterUseCase::applyCase(const EditCommand::Filter& filter, Project project) const {
    return applyTo(std::move(project), filter.clipId, filter.filterName, filter.intensity);
}

} // namespace vexel
