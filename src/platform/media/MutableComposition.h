#pragma once

#include "platform/media/Composition.h"

#include <memory>
#include <vector>

namespace vexel::media {

// A composition being built: tracks are added and edited in place, then
// copy() hands out the finished, immutable Composition.
class MutableComposition {
public:
    // Lets the composition choose a track ID.
    static constexpr int invalidTrackID = 0;

    MutableComposition() = default;
    MutableComposition(const MutableComposition&) = delete;
    MutableComposition& operator=(const MutableComposition&) = delete;

    // A new empty video or audio track, valid until it is removed. Null, and
    // nothing added, for another media type or a preferred ID already in use
    // (or negative).
    CompositionTrack* addTrack(MediaType mediaType, int preferredTrackID = invalidTrackID);
    // False when there is no such track.
    bool removeTrack(int trackID);

    std::vector<CompositionTrack*> tracks();
    CompositionTrack* track(int trackID);
    MediaTime duration() const;

    // Scales `range` on every track (see CompositionTrack::scaleTimeRange).
    void scaleTimeRange(const MediaTimeRange& range, const MediaTime& duration);

    Composition copy() const;

private:
    std::vector<std::unique_ptr<CompositionTrack>> tracks_;
    int nextTrackID_ = 1;
};

} // namespace vexel::media
