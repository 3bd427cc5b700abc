#include "domain/usecases/ReverseUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project ReverseUseCase::applyTo(const Project& project, const Uuid& clipId) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::audio});
    ClipBuilder builder(clip);
    builder.isReversed = !clip.isReversed;
    return project.replacingClip(builder.build());
}

Project ReverseUseCase::execute(const Uuid& clipId) const {
    return applyAndSave(*projectRepository_,
                        [&](const Project& project) { return applyTo(project, clipId); });
}

bool ReverseUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::Reverse>();
}

Project ReverseUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* reverse = command.getIf<EditCommand::Reverse>();
    if (reverse == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(reverse->clipId);
}

} // namespace vexel
