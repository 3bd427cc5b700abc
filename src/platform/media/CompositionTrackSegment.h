#pragma once

#include "platform/media/Asset.h"
#include "platform/media/MediaTimeRange.h"

#include <memory>

namespace vexel::media {

// A span of a composition track: a time range of one asset track shown over a
// time range of the composition (stretched or squeezed when the two differ),
// or an empty span that shows no frame and is silent.
struct CompositionTrackSegment {
    // Absent for an empty segment.
    std::shared_ptr<const Asset> asset;
    int sourceTrackID = 0;
    // On the asset's timeline; meaningless for an empty segment.
    MediaTimeRange source{};
    // On the composition's timeline.
    MediaTimeRange target{};

    bool isEmpty() const { return asset == nullptr; }
    // The asset track the segment shows; null for an empty segment.
    const AssetTrack* sourceTrack() const;

    // The source time shown at a composition time, exactly: source start +
    // (t - target start) * source duration / target duration.
    MediaTime sourceTime(const MediaTime& compositionTime) const;

    friend bool operator==(const CompositionTrackSegment&,
                           const CompositionTrackSegment&) = default;
};

} // namespace vexel::media
