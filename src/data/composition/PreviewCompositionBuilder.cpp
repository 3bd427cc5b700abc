#include "data/composition/PreviewCompositionBuilder.h"

#include "data/composition/ColorAdjustCompositor.h"
#include "data/composition/CompositionGeometry.h"
#include "data/composition/LayerInstructionBuilder.h"
#include "domain/usecases/TransitionUseCase.h"
#include "platform/image/ColorOperation.h"

#include <algorithm>

namespace vexel {

namespace {

using media::Affine;
using media::MediaTime;

// Turns y-up coordinates of a frame `height` high into y-down ones, and back.
Affine flip(double height) {
    return Affine::scale(1, -1).then(Affine::translation(0, height));
}

// A transition the layer form's linear opacity ramps cannot draw.
bool needsPixelWork(const std::optional<TransitionEffect>& transition) {
    return transition && (TransitionUseCase::isGeometric(transition->type) ||
                          transition->easing != EasingCurve::linear);
}

// A colour adjustment or filter preset that changes the clip's pixels, which
// only the frame compositor draws.
bool changesColour(const VideoTrackEntry& entry) {
    const bool adjusted = entry.colorAdjust && !entry.colorAdjust->isNeutral();
    const bool filtered =
        entry.filter && image::filterPreset(entry.filter->name, entry.filter->intensity);
    return adjusted || filtered;
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

media::VideoComposition PreviewCompositionBuilder::buildVideoComposition(
    const std::vector<VideoTrackEntry>& entries, const media::Composition& composition,
    const media::MediaTime& compositionDuration, std::shared_ptr<Logger> logger) {
    const bool custom =
        std::any_of(entries.begin(), entries.end(), [](const VideoTrackEntry& entry) {
            return needsPixelWork(entry.transitionIn) || needsPixelWork(entry.transitionOut) ||
                   changesColour(entry);
        });
    if (custom) {
        return buildCustomCompositorVideoComposition(entries, compositionDuration,
                                                     std::move(logger));
    }
    return buildMutableVideoComposition(entries, composition, compositionDuration);
}

media::VideoComposition PreviewCompositionBuilder::buildMutableVideoComposition(
    const std::vector<VideoTrackEntry>& entries, const media::Composition& composition,
    const media::MediaTime& compositionDuration) {
    media::VideoComposition video;
    video.renderSize = CompositionGeometry::calculateRenderSize(entries);
    video.frameDuration = MediaTime(1, 30);
    video.instructions = {std::make_shared<media::LayerVideoCompositionInstruction>(
        media::MediaTimeRange{MediaTime::zero(), compositionDuration},
        LayerInstructionBuilder::buildMutableLayerInstructions(entries, composition,
                                                               video.renderSize))};
    return video;
}

media::VideoComposition PreviewCompositionBuilder::buildCustomCompositorVideoComposition(
    const std::vector<VideoTrackEntry>& entries, const media::MediaTime& compositionDuration,
    std::shared_ptr<Logger> logger) {
    const media::Size renderSize = CompositionGeometry::calculateRenderSize(entries);
    std::vector<ColorAdjustInstruction::Entry> layers;
    for (const VideoTrackEntry& entry : entries) {
        // Each layer with its own colour and filter, as the export draws it:
        // through a dissolve each clip keeps its own look.
        layers.push_back(makeInstructionEntry(entry, renderSize));
    }
    return ColorAdjustCompositor::videoComposition(
        std::make_shared<ColorAdjustInstruction>(
            std::move(layers), media::MediaTimeRange{MediaTime::zero(), compositionDuration},
            renderSize),
        std::move(logger));
}

} // namespace vexel
