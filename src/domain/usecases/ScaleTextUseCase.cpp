#include "domain/usecases/ScaleTextUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project ScaleTextUseCase::applyTo(const Project& project, const Uuid& clipId, double scale) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::text});
    if (!(minScale <= scale && scale <= maxScale)) {
        throw EditError::invalidScale(scale);
    }
    ClipBuilder builder(clip);
    builder.textScale = scale;
    return project.replacingClip(builder.build());
}

Project ScaleTextUseCase::execute(const Uuid& clipId, double scale) const {
    return applyAndSave(*projectRepository_,
                        [&](const Project& project) { return applyTo(project, clipId, scale); });
}

bool ScaleTextUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::ScaleText>();
}

Project ScaleTextUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* scaleText = command.getIf<EditCommand::ScaleText>();
    if (scaleText == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(scaleText->clipId, scaleText->scale);
}

} // namespace vexel
