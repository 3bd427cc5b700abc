#include "platform/media/CompositionTrack.h"

#include "platform/media/MediaError.h"

#include <algorithm>

namespace vexel::media {

namespace {

using Kind = MediaError::Kind;

MediaTimeRange between(const MediaTime& start, const MediaTime& end) {
    return {start, end - start};
}

} // namespace

CompositionTrack::CompositionTrack(int trackID, MediaType mediaType)
    : trackID_(trackID)
    , mediaType_(mediaType) {}

MediaTime CompositionTrack::end() const {
    return segments_.empty() ? MediaTime::zero() : segments_.back().target.end();
}

void CompositionTrack::insertTimeRange(const MediaTimeRange& sourceRange,
                                       std::shared_ptr<const Asset> asset, int sourceTrackID,
                                       const MediaTime& at) {
    const std::string context = "Cannot insert " + sourceRange.start.description() + " + " +
                                sourceRange.duration.description();
    if (!asset) {
        throw MediaError(Kind::invalidArgument, context + ": no asset");
    }
    CompositionTrackSegment segment{asset, sourceTrackID, {}, {}};
    const AssetTrack* track = segment.sourceTrack();
    if (!track || track->mediaType != mediaType_) {
        throw MediaError(Kind::invalidArgument, context + ": \"" + asset->path.string() +
                                                    "\" has no such track " +
                                                    std::to_string(sourceTrackID));
    }
    MediaTime mediaEnd = track->timeRange.end();
    if (sourceRange.isEmpty() || sourceRange.start < MediaTime::zero() ||
        !(sourceRange.start < mediaEnd) || at < MediaTime::zero()) {
        throw MediaError(Kind::invalidArgument, context + " of \"" + asset->path.string() +
                                                    "\" (media ends at " + mediaEnd.description() +
                                                    ") at " + at.description());
    }
    MediaTime existing = min(sourceRange.end(), mediaEnd) - sourceRange.start;
    segment.source = {sourceRange.start, existing};
    segment.target = {at, existing};
    std::vector<CompositionTrackSegment> inserted{segment};
    if (existing < sourceRange.duration) {
        CompositionTrackSegment rest;
        rest.target = between(at + existing, at + sourceRange.duration);
        inserted.push_back(rest);
    }
    insertSegments(std::move(inserted), at, sourceRange.duration);
}

void CompositionTrack::insertEmptyTimeRange(const MediaTimeRange& range) {
    if (range.isEmpty() || range.start < MediaTime::zero()) {
        throw MediaError(Kind::invalidArgument,
                         "Cannot insert an empty range at " + range.start.description());
    }
    CompositionTrackSegment empty;
    empty.target = range;
    insertSegments({empty}, range.start, range.duration);
}

void CompositionTrack::insertSegments(std::vector<CompositionTrackSegment> inserted,
                                      const MediaTime& at, const MediaTime& length) {
    MediaTime trackEnd = end();
    if (at > trackEnd) {
        CompositionTrackSegment gap;
        gap.target = between(trackEnd, at);
        segments_.push_back(gap);
    }
    splitAt(at);
    auto position = std::find_if(segments_.begin(), segments_.end(),
                                 [&](const auto& s) { return s.target.start >= at; });
    for (auto it = position; it != segments_.end(); ++it) {
        it->target.start += length;
    }
    segments_.insert(position, inserted.begin(), inserted.end());
}

void CompositionTrack::splitAt(const MediaTime& time) {
    for (auto it = segments_.begin(); it != segments_.end(); ++it) {
        if (!(it->target.start < time && time < it->target.end())) {
            continue;
        }
        CompositionTrackSegment first = *it;
        CompositionTrackSegment second = *it;
        first.target = between(it->target.start, time);
        second.target = between(time, it->target.end());
        if (!it->isEmpty()) {
            MediaTime sourceSplit = it->sourceTime(time);
            first.source = between(it->source.start, sourceSplit);
            second.source = between(sourceSplit, it->source.end());
        }
        *it = first;
        segments_.insert(it + 1, second);
        return;
    }
}

void CompositionTrack::scaleTimeRange(const MediaTimeRange& range, const MediaTime& duration) {
    if (range.isEmpty() || !(duration > MediaTime::zero())) {
        throw MediaError(Kind::invalidArgument, "Cannot scale " + range.start.description() +
                                                    " + " + range.duration.description() + " to " +
                                                    duration.description());
    }
    splitAt(range.start);
    splitAt(range.end());
    // Boundaries inside the range move in proportion; adjacent segments
    // compute their shared boundary alike, so no gap or overlap appears.
    auto moved = [&](const MediaTime& time) {
        if (time <= range.start) {
            return time;
        }
        if (time >= range.end()) {
            return time + (duration - range.duration);
        }
        return range.start + multiplyByRatio(time - range.start, duration, range.duration);
    };
    for (CompositionTrackSegment& segment : segments_) {
        MediaTime start = moved(segment.target.start);
        MediaTime end = moved(segment.target.end());
        segment.target = between(start, end);
    }
}

const CompositionTrackSegment* CompositionTrack::segment(const MediaTime& compositionTime) const {
    auto it = std::upper_bound(
        segments_.begin(), segments_.end(), compositionTime,
        [](const MediaTime& time, const auto& segment) { return time < segment.target.start; });
    if (it == segments_.begin()) {
        return nullptr;
    }
    --it;
    return it->target.containsTime(compositionTime) ? &*it : nullptr;
}

} // namespace vexel::media
