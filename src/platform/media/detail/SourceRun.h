#pragma once

// Which frames of a composition video track one decoder serves: consecutive
// frames that show media, of one segment or of adjacent segments that go on
// forward through the same source (a cut within one clip), so that these need
// no new decoder. Internal to the media layer.

#include "platform/media/CompositionTrack.h"
#include "platform/media/detail/FrameGrid.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace vexel::media::detail {

// What a track shows at a composition time.
struct ShownMedia {
    const CompositionTrackSegment* segment = nullptr;
    const AssetTrack* sourceTrack = nullptr;
    MediaTime sourceTime;
};

// Nothing in a gap, before or after the track and where the segment's media
// has ended: the track then shows no frame.
std::optional<ShownMedia> mediaShownAt(const CompositionTrack& track, const MediaTime& time);

struct SourceRun {
    // Frames [first, end) of the grid.
    std::int64_t first = 0;
    std::int64_t end = 0;
    std::shared_ptr<const Asset> asset;
    AssetTrack sourceTrack;
    // The source time of the first frame.
    MediaTime sourceStart;
    // Just after the source time of the last frame: what a decoder of the run
    // reads stops before it.
    MediaTime sourceEnd;
};

// The first run at or after frame `from`; nothing when no later frame of the
// grid shows media.
std::optional<SourceRun> nextSourceRun(const CompositionTrack& track, const FrameGrid& grid,
                                       std::int64_t from);

} // namespace vexel::media::detail
