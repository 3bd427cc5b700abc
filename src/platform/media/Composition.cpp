#include "platform/media/Composition.h"

namespace vexel::media {

Composition::Composition(std::vector<CompositionTrack> tracks)
    : tracks_(std::move(tracks)) {}

std::vector<const CompositionTrack*> Composition::tracksWithMediaType(MediaType type) const {
    std::vector<const CompositionTrack*> found;
    for (const CompositionTrack& track : tracks_) {
        if (track.mediaType() == type) {
            found.push_back(&track);
        }
    }
    return found;
}

const CompositionTrack* Composition::track(int trackID) const {
    for (const CompositionTrack& track : tracks_) {
        if (track.trackID() == trackID) {
            return &track;
        }
    }
    return nullptr;
}

MediaTime Composition::duration() const {
    MediaTime latest = MediaTime::zero();
    for (const CompositionTrack& track : tracks_) {
        latest = max(latest, track.end());
    }
    return latest;
}

} // namespace vexel::media
