#include "data/composition/LayerInstructionBuilder.h"

#include "data/composition/CompositionGeometry.h"

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

} // namespace

std::vector<media::VideoCompositionLayerInstruction>
LayerInstructionBuilder::buildMutableLayerInstructions(const std::vector<VideoTrackEntry>& entries,
                                                       const media::Composition& composition,
                                                       std::optional<media::Size> renderSize) {
    std::vector<media::VideoCompositionLayerInstruction> layers;
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
        if (entry.transitionIn) {
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
    }
    return layers;
}

} // namespace vexel
