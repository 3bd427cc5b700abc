#include "platform/media/CompositionTrackSegment.h"

namespace vexel::media {

const AssetTrack* CompositionTrackSegment::sourceTrack() const {
    if (!asset) {
        return nullptr;
    }
    for (const AssetTrack& track : asset->tracks) {
        if (track.trackID == sourceTrackID) {
            return &track;
        }
    }
    return nullptr;
}

MediaTime CompositionTrackSegment::sourceTime(const MediaTime& compositionTime) const {
    MediaTime elapsed = compositionTime - target.start;
    if (source.duration == target.duration) {
        return source.start + elapsed;
    }
    return source.start + multiplyByRatio(elapsed, source.duration, target.duration);
}

} // namespace vexel::media
