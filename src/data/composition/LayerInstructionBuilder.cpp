#include "data/composition/LayerInstructionBuilder.h"

#include "data/composition/CompositionGeometry.h"
#include "data/composition/CrossDissolvePair.h"

#include <cmath>

namespace vexel {

namespace {

using media::MediaTime;
using media::MediaTimeRange;
using media::ParameterTimeline;

bool isVideoTrack(const media::Composition& composition, int trackID) {
    const media::CompositionTrack* track = composition.track(trackID);
    return track && track->mediaType() == media::MediaType::video;
}

// A linear change from `from` to `to` over [start, start + duration). A
// change of no length is a step at its start; the part of a ramp before time
// zero, which a timeline cannot hold, is left out and the ramp begins at zero
// with the value it would have there.
void ramp(ParameterTimeline& opacity, float from, float to, const MediaTime& start,
          const MediaTime& duration) {
    const MediaTime end = start + duration;
    if (!(duration > MediaTime::zero())) {
        opacity.setValue(to, max(start, MediaTime::zero()));
        return;
    }
    if (!(end > MediaTime::zero())) {
        opacity.setValue(to, MediaTime::zero());
        return;
    }
    if (start < MediaTime::zero()) {
        const double share = (MediaTime::zero() - start).seconds() / duration.seconds();
        from += (to - from) * static_cast<float>(share);
        opacity.setRamp(from, to, {MediaTime::zero(), end});
        return;
    }
    opacity.setRamp(from, to, {start, duration});
}

// The entrance of the lower clip of a cross-dissolve pair, whose upper clip
// of opacity `upperOpacity` fades out over it across [start, start + length):
// held at its own opacity under an opaque upper clip; under a translucent one
// raised along the curve that keeps the mix linear, in one straight piece per
// thirtieth of a second.
void dissolveEntrance(ParameterTimeline& opacity, float upperOpacity, float lowerOpacity,
                      const MediaTime& start, const MediaTime& length) {
    if (upperOpacity >= 1) {
        opacity.setValue(lowerOpacity, start);
        return;
    }
    const auto pieces = static_cast<std::int64_t>(std::max(1.0, std::ceil(length.seconds() * 30)));
    MediaTime from = start;
    for (std::int64_t k = 1; k <= pieces; ++k) {
        const MediaTime to = start + length.multipliedByRatio(k, pieces);
        if (to > from) {
            const auto at = [&](std::int64_t step) {
                return CrossDissolvePair::lowerOpacity(static_cast<double>(step) / pieces,
                                                       upperOpacity, lowerOpacity);
            };
            opacity.setRamp(at(k - 1), at(k), {from, to - from});
        }
        from = to;
    }
}

} // namespace

std::vector<media::VideoCompositionLayerInstruction>
LayerInstructionBuilder::buildMutableLayerInstructions(const std::vector<VideoTrackEntry>& entries,
                                                       const media::Composition& composition,
                                                       std::optional<media::Size> renderSize) {
    std::vector<media::VideoCompositionLayerInstruction> layers;
    // The entry drawn just above the next one.
    const VideoTrackEntry* above = nullptr;
    for (const VideoTrackEntry& entry : entries) {
        if (!isVideoTrack(composition, entry.trackID)) {
            continue;
        }
        media::VideoCompositionLayerInstruction layer;
        layer.trackID = entry.trackID;
        layer.setTransform(CompositionGeometry::calculateFitTransform(
                               entry.naturalSize, entry.transform, entry.clipTransform, renderSize),
                           MediaTime::zero());
        layer.cropRectangle = CompositionGeometry::calculateCropRectangle(
            entry.naturalSize, entry.transform, entry.clipTransform);

        const MediaTime start = entry.compositionStartTime;
        const MediaTime end = entry.compositionEndTime;
        if (start > MediaTime::zero() || entry.transitionIn) {
            layer.opacity.setValue(0, MediaTime::zero());
        }
        if (above && CrossDissolvePair::joins(*above, entry)) {
            dissolveEntrance(layer.opacity, above->opacity, entry.opacity, start,
                             MediaTime::fromSeconds(entry.transitionIn->duration));
        } else if (entry.transitionIn) {
            ramp(layer.opacity, 0, entry.opacity, start,
                 MediaTime::fromSeconds(entry.transitionIn->duration));
        } else {
            layer.opacity.setValue(entry.opacity, max(start, MediaTime::zero()));
        }
        if (entry.transitionOut) {
            const MediaTime length = MediaTime::fromSeconds(entry.transitionOut->duration);
            ramp(layer.opacity, entry.opacity, 0, end - length, length);
        } else {
            layer.opacity.setValue(0, end);
        }
        layers.push_back(std::move(layer));
        above = &entry;
    }
    return layers;
}

} // namespace vexel
