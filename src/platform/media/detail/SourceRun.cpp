#include "platform/media/detail/SourceRun.h"

#include <algorithm>

namespace vexel::media::detail {

namespace {

// Decoding on through this much source is cheaper than opening the file
// again and seeking.
const MediaTime kDecodeOnWithin(1, 1);

bool continuesForward(const ShownMedia& last, const ShownMedia& next) {
    if (next.segment == last.segment) {
        return true;
    }
    return next.segment->asset->path == last.segment->asset->path &&
           next.sourceTrack->trackID == last.sourceTrack->trackID &&
           next.sourceTime >= last.sourceTime &&
           next.sourceTime - last.sourceTime <= kDecodeOnWithin;
}

} // namespace

std::optional<ShownMedia> mediaShownAt(const CompositionTrack& track, const MediaTime& time) {
    const CompositionTrackSegment* segment = track.segment(time);
    const AssetTrack* source = segment ? segment->sourceTrack() : nullptr;
    if (!source) {
        return std::nullopt;
    }
    MediaTime sourceTime = segment->sourceTime(time);
    if (!(sourceTime < min(segment->source.end(), source->timeRange.end()))) {
        return std::nullopt;
    }
    return ShownMedia{segment, source, sourceTime};
}

std::optional<SourceRun> nextSourceRun(const CompositionTrack& track, const FrameGrid& grid,
                                       std::int64_t from) {
    std::int64_t n = std::max(from, grid.first);
    std::optional<ShownMedia> shown;
    while (n < grid.end && !(shown = mediaShownAt(track, grid.time(n)))) {
        const CompositionTrackSegment* segment = track.segment(grid.time(n));
        if (!segment) {
            // Segments follow each other from zero: past the last one.
            return std::nullopt;
        }
        // A segment that shows nothing at some time shows nothing after it.
        n = std::max(n + 1, FrameGrid::indexAtOrAfter(segment->target.end(), grid.frameDuration));
    }
    if (!shown) {
        return std::nullopt;
    }
    SourceRun run{n, n + 1, shown->segment->asset, *shown->sourceTrack, shown->sourceTime, {}};
    ShownMedia last = *shown;
    for (std::int64_t m = n + 1; m < grid.end; ++m) {
        std::optional<ShownMedia> next = mediaShownAt(track, grid.time(m));
        if (!next || !continuesForward(last, *next)) {
            break;
        }
        last = *next;
        run.end = m + 1;
    }
    run.sourceEnd = MediaTime(last.sourceTime.value() + 1, last.sourceTime.timescale());
    return run;
}

} // namespace vexel::media::detail
