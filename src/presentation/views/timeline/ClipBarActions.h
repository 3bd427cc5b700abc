#pragma once

#include "foundation/Uuid.h"

#include <functional>

namespace vexel {

// How a clip bar reports what the user did; the timeline panel fills it and
// every bar of every lane shares it. Times are seconds. An empty callback
// makes its gesture or menu item do nothing beyond selecting the clip.
struct ClipBarActions {
    std::function<void(const Uuid& clipId)> onSelect;
    // A move that stays on the clip's track.
    std::function<void(const Uuid& clipId, double newStart)> onMove;
    // An edge trim: the clip's new in-point in its media and its new duration.
    std::function<void(const Uuid& clipId, double newSourceOffset, double newDuration)> onTrim;
    std::function<void(const Uuid& clipId)> onDelete;
    std::function<void(const Uuid& clipId)> onDuplicate;
    // At the playhead.
    std::function<void(const Uuid& clipId)> onSplit;
    std::function<void()> onOpenCommandPalette;
    std::function<void(const Uuid& clipId)> onEditEffects;
    // A move released over another audio lane.
    std::function<void(const Uuid& clipId, const Uuid& targetTrackId, double newStart)>
        onMoveToTrack;
    // While an edge is trimmed: the time under it, to show in the preview.
    std::function<void(double time)> onTrimScrub;
};

} // namespace vexel
