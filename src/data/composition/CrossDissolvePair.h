#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/VideoTrackEntry.h"
#include "platform/media/MediaTime.h"

namespace vexel {

// Two clips of one track joined by a cross-dissolve: the earlier one's
// cross-dissolve exit and the later one's cross-dissolve entrance cover the
// same composition times. Over that window the pair shows the linear mix
// (1 − p)·outgoing + p·incoming, never a dip: fading each over what lies
// below would show (1 − p)·outgoing + p²·incoming or its mirror.
class CrossDissolvePair {
public:
    CrossDissolvePair() = delete;

    // Whether the two entries, drawn next to each other, form such a pair.
    static bool joins(const VideoTrackEntry& outgoing, const VideoTrackEntry& incoming);
    static bool joins(const ColorAdjustInstruction::Entry& outgoing,
                      const ColorAdjustInstruction::Entry& incoming);

    // Whether `time` falls inside the window of a pair that `joins`: the
    // incoming clip's entrance, start included, end excluded.
    static bool isMixing(const ColorAdjustInstruction::Entry& incoming,
                         const media::MediaTime& time);

    // The opacity at which the lower layer of a pair is drawn, fully opaque
    // under the upper one, when the upper layer of opacity `upperOpacity`
    // fades out over it and the pair is to show p·lowerOpacity of it (p the
    // progress through the window). With an opaque upper clip this is its own
    // opacity throughout: the lower clip stays as it is while the upper one
    // ramps.
    static float lowerOpacity(double progress, float upperOpacity, float lowerOpacity);
};

} // namespace vexel
