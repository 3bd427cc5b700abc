#include "domain/usecases/ClipEditSteps.h"

#include "domain/entities/EditError.h"

#include <algorithm>

namespace vexel {

const Clip& requireClip(const Project& project, const Uuid& clipId) {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    return *clip;
}

void requireTrackType(const Clip& clip, std::initializer_list<TrackType> accepted) {
    if (std::find(accepted.begin(), accepted.end(), clip.trackType) == accepted.end()) {
        throw EditError::trackTypeMismatch();
    }
}

} // namespace vexel
