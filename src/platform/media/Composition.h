#pragma once

#include "platform/media/CompositionTrack.h"

#include <vector>

namespace vexel::media {

// A finished composition: an immutable value that later edits of the mutable
// composition it was copied from do not touch.
class Composition {
public:
    Composition() = default;
    explicit Composition(std::vector<CompositionTrack> tracks);

    const std::vector<CompositionTrack>& tracks() const { return tracks_; }
    std::vector<const CompositionTrack*> tracksWithMediaType(MediaType type) const;
    // Null when there is no track of that ID.
    const CompositionTrack* track(int trackID) const;
    // The latest track end; zero without tracks.
    MediaTime duration() const;

    friend bool operator==(const Composition&, const Composition&) = default;

private:
    std::vector<CompositionTrack> tracks_;
};

} // namespace vexel::media
