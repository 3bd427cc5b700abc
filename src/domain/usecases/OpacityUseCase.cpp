#include "domain/usecases/OpacityUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project OpacityUseCase::applyTo(const Project& project, const Uuid& clipId, double opacity) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    if (!(0 <= opacity && opacity <= 1)) {
        throw EditError::invalidOpacity(opacity);
    }
    ClipBuilder builder(clip);
    builder.opacity = opacity;
    return project.replacingClip(builder.build());
}

Project OpacityUseCase::execute(const Uuid& clipId, double opacity) const {
    return applyAndSave(*projectRepository_,
                        [&](const Project& project) { return applyTo(project, clipId, opacity); });
}

bool OpacityUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::Opacity>();
}

Project OpacityUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* opacity = command.getIf<EditCommand::Opacity>();
    if (opacity == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(opacity->clipId, opacity->opacity);
}

} // namespace vexel
