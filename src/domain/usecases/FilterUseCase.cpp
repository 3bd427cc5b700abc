#include "domain/usecases/FilterUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/entities/FilterPreset.h"
#include "domain/usecases/ClipEditSteps.h"

#include <algorithm>

namespace vexel {

Project FilterUseCase::applyTo(const Project& project, const Uuid& clipId,
                               const std::string& filterName,
                               std::optional<double> intensity) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    ClipBuilder builder(clip);
    if (filterName.empty() || filterName == "none") {
        builder.filter = std::nullopt;
        return project.replacingClip(builder.build());
    }
    const auto& names = FilterPreset::supportedNames;
    if (std::find(names.begin(), names.end(), filterName) == names.end()) {
        throw EditError::invalidFilterName(filterName);
    }
    if (intensity && !(0 <= *intensity && *intensity <= 1)) {
        throw EditError::invalidFilterIntensity(*intensity);
    }
    builder.filter = FilterPreset{filterName, intensity.value_or(1.0)};
    return project.replacingClip(builder.build());
}

Project FilterUseCase::execute(const Uuid& clipId, const std::string& filterName,
                               std::optional<double> intensity) const {
    return applyAndSave(*projectRepository_, [&](const Project& project) {
        return applyTo(project, clipId, filterName, intensity);
    });
}

bool FilterUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::Filter>();
}

Project FilterUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* filter = command.getIf<EditCommand::Filter>();
    if (filter == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(filter->clipId, filter->filterName, filter->intensity);
}

} // namespace vexel
