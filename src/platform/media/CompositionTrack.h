#pragma once

#include "platform/media/CompositionTrackSegment.h"
#include "platform/media/MediaType.h"

#include <memory>
#include <vector>

namespace vexel::media {

// One video or audio track of a composition: segments that follow each other
// without gaps from time zero (a gap is an empty segment).
class CompositionTrack {
public:
    CompositionTrack(int trackID, MediaType mediaType);

    int trackID() const { return trackID_; }
    MediaType mediaType() const { return mediaType_; }
    const std::vector<CompositionTrackSegment>& segments() const { return segments_; }
    // The end of the last segment.
    MediaTime end() const;

    // Inserts `sourceRange` of the asset's track `sourceTrackID` at `at`:
    // whatever lies at or after `at` moves later by the range's length; an
    // empty segment fills the space between the track's end and `at`. A range
    // that runs past the end of the media inserts what exists and an empty
    // segment for the rest. Throws MediaError (invalidArgument) when the track
    // is not in the asset or of another kind, when the range is empty or
    // starts before zero or at or after the media's end, or when `at` is
    // negative; the track is then unchanged.
    void insertTimeRange(const MediaTimeRange& sourceRange, std::shared_ptr<const Asset> asset,
                         int sourceTrackID, const MediaTime& at);
    // Inserts an empty segment of `range`'s length at its start.
    void insertEmptyTimeRange(const MediaTimeRange& range);
    // Stretches or squeezes what lies in `range` to last `duration` (a speed
    // change); what follows moves by the difference. Throws MediaError
    // (invalidArgument) for an empty range or a duration that is not positive.
    void scaleTimeRange(const MediaTimeRange& range, const MediaTime& duration);

    // The segment showing at a composition time; null before zero and at or
    // after the end.
    const CompositionTrackSegment* segment(const MediaTime& compositionTime) const;

    friend bool operator==(const CompositionTrack&, const CompositionTrack&) = default;

private:
    // Splits the segment that spans `time` so that a segment starts there.
    void splitAt(const MediaTime& time);
    void insertSegments(std::vector<CompositionTrackSegment> inserted, const MediaTime& at,
                        const MediaTime& length);

    int trackID_;
    MediaType mediaType_;
    std::vector<CompositionTrackSegment> segments_;
};

} // namespace vexel::media
