#include "data/composition/PreviewCompositionBuilder.h"

#include "data/composition/CompositionGeometry.h"

namespace vexel {

namespace {

using media::Affine;
using media::MediaTime;

// Turns y-up coordinates of a frame `height` high into y-down ones, and back.
Affine flip(double height) {
    return Affine::scale(1, -1).then(Affine::translation(0, height));
}

} // namespace

ColorAdjustInstruction::Entry
PreviewCompositionBuilder::makeInstructionEntry(const VideoTrackEntry& entry,
                                                media::Size renderSize) {
    ColorAdjustInstruction::Entry layer;
    layer.trackID = entry.trackID;
    layer.colorAdjust = entry.colorAdjust;
    layer.filter = entry.filter;

    const Affine fit = CompositionGeometry::calculateFitTransform(
        entry.naturalSize, entry.transform, entry.clipTransform, renderSize);
    layer.transform = flip(entry.naturalSize.height).then(fit).then(flip(renderSize.height));
    if (auto crop = CompositionGeometry::calculateCropRectangle(entry.naturalSize, entry.transform,
                                                                entry.clipTransform)) {
        const double bottom = entry.naturalSize.height - crop->maxY();
        layer.cropRect = media::Rect{{crop->minX(), bottom}, crop->size};
    }

    FadeTimingInfo& timing = layer.fadeTiming;
    timing.opacity = entry.opacity;
    timing.compositionStartTime = entry.compositionStartTime;
    timing.compositionEndTime = entry.compositionEndTime;
    if (entry.transitionIn) {
        timing.fadeInStart = entry.compositionStartTime;
        timing.fadeInEnd =
            entry.compositionStartTime + MediaTime::fromSeconds(entry.transitionIn->duration);
        layer.transitionType = entry.transitionIn->type;
        layer.transitionEasing = entry.transitionIn->easing;
    }
    if (entry.transitionOut) {
        timing.fadeOutStart =
            entry.compositionEndTime - MediaTime::fromSeconds(entry.transitionOut->duration);
        timing.fadeOutEnd = entry.compositionEndTime;
        layer.transitionOutType = entry.transitionOut->type;
        layer.transitionOutEasing = entry.transitionOut->easing;
    }
    return layer;
}

} // namespace vexel
