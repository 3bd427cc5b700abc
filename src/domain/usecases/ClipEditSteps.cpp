#include "domain/usecases/ClipEditSteps.h"

#include "domain/entities/EditError.h"

#include <algorithm>
#include <cmath>

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

double endOfTrack(const Track* track) {
    if (track == nullptr || track->clips.empty()) {
        return 0;
    }
    double end = track->clips.front().timeRange.endTime();
    for (const auto& clip : track->clips) {
        end = std::max(end, clip.timeRange.endTime());
    }
    return end;
}

bool endsWithinProject(const Project& project, double start, double duration) {
    const double end = start + duration;
    return std::isfinite(end) && end <= project.maxDuration;
}

} // namespace vexel
