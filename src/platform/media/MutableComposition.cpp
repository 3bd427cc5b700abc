#include "platform/media/MutableComposition.h"

#include "platform/media/MediaError.h"

#include <algorithm>
#include <limits>

namespace vexel::media {

CompositionTrack* MutableComposition::addTrack(MediaType mediaType, int preferredTrackID) {
    if (mediaType != MediaType::video && mediaType != MediaType::audio) {
        return nullptr;
    }
    int trackID = preferredTrackID;
    if (trackID == invalidTrackID) {
        while (track(nextTrackID_)) {
            if (nextTrackID_ == std::numeric_limits<int>::max()) {
                return nullptr;
            }
            ++nextTrackID_;
        }
        trackID = nextTrackID_;
    } else if (trackID < 0 || track(trackID)) {
        return nullptr;
    }
    tracks_.push_back(std::make_unique<CompositionTrack>(trackID, mediaType));
    return tracks_.back().get();
}

bool MutableComposition::removeTrack(int trackID) {
    auto it = std::find_if(tracks_.begin(), tracks_.end(),
                           [&](const auto& track) { return track->trackID() == trackID; });
    if (it == tracks_.end()) {
        return false;
    }
    tracks_.erase(it);
    return true;
}

std::vector<CompositionTrack*> MutableComposition::tracks() {
    std::vector<CompositionTrack*> all;
    for (auto& track : tracks_) {
        all.push_back(track.get());
    }
    return all;
}

CompositionTrack* MutableComposition::track(int trackID) {
    for (auto& track : tracks_) {
        if (track->trackID() == trackID) {
            return track.get();
        }
    }
    return nullptr;
}

MediaTime MutableComposition::duration() const {
    MediaTime latest = MediaTime::zero();
    for (const auto& track : tracks_) {
        latest = max(latest, track->end());
    }
    return latest;
}

void MutableComposition::scaleTimeRange(const MediaTimeRange& range, const MediaTime& duration) {
    if (range.isEmpty() || !(duration > MediaTime::zero())) {
        throw MediaError(MediaError::Kind::invalidArgument,
                         "Cannot scale " + range.start.description() + " + " +
                             range.duration.description() + " to " + duration.description());
    }
    for (auto& track : tracks_) {
        track->scaleTimeRange(range, duration);
    }
}

Composition MutableComposition::copy() const {
    std::vector<CompositionTrack> snapshot;
    for (const auto& track : tracks_) {
        snapshot.push_back(*track);
    }
    return Composition(std::move(snapshot));
}

} // namespace vexel::media
