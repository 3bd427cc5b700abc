#include "data/composition/ExportCompositionBuilder.h"

#include "data/composition/ColorAdjustCompositor.h"
#include "data/composition/CompositionGeometry.h"
#include "data/composition/PreviewCompositionBuilder.h"
#include "domain/usecases/TransitionUseCase.h"
#include "foundation/UriScheme.h"

#include <algorithm>

namespace vexel {

namespace {

using media::MediaTime;

bool isGeometric(const std::optional<TransitionEffect>& transition) {
    return transition && TransitionUseCase::isGeometric(transition->type);
}

bool needsCompositor(const std::vector<VideoTrackEntry>& entries,
                     const std::vector<Clip>& textClips, const std::vector<Clip>& imageClips) {
    if (!textClips.empty() || !imageClips.empty()) {
        return true;
    }
    return std::any_of(entries.begin(), entries.end(), [](const VideoTrackEntry& entry) {
        return entry.colorAdjust || entry.filter || isGeometric(entry.transitionIn) ||
               isGeometric(entry.transitionOut);
    });
}

bool namesFile(const std::optional<std::filesystem::path>& location) {
    // A hand-edited project may hold a web address where a file belongs.
    return location && !location->empty() && !beginsWithUriScheme(location->native());
}

// An overlay's time on screen follows its clip on the timeline; its
// transitions, whatever their type, are fades, and only when they last.
FadeTimingInfo overlayTiming(const Clip& clip) {
    FadeTimingInfo timing;
    timing.opacity = static_cast<float>(clip.opacity);
    timing.compositionStartTime = MediaTime::fromSeconds(clip.timeRange.startTime);
    timing.compositionEndTime =
        MediaTime::fromSeconds(clip.timeRange.startTime + clip.timeRange.duration);
    if (clip.transitionIn && clip.transitionIn->duration > 0) {
        timing.fadeInStart = timing.compositionStartTime;
        timing.fadeInEnd =
            timing.compositionStartTime + MediaTime::fromSeconds(clip.transitionIn->duration);
    }
    if (clip.transitionOut && clip.transitionOut->duration > 0) {
        timing.fadeOutStart =
            timing.compositionEndTime - MediaTime::fromSeconds(clip.transitionOut->duration);
        timing.fadeOutEnd = timing.compositionEndTime;
    }
    return timing;
}

} // namespace

media::VideoComposition ExportCompositionBuilder::buildVideoComposition(
    const std::vector<VideoTrackEntry>& entries, const media::Composition& composition,
    const MediaTime& compositionDuration, const std::vector<Clip>& textClips,
    const std::vector<Clip>& imageClips, std::shared_ptr<Logger> logger) {
    if (!needsCompositor(entries, textClips, imageClips)) {
        return PreviewCompositionBuilder::buildMutableVideoComposition(entries, composition,
                                                                       compositionDuration);
    }
    const media::Size renderSize = CompositionGeometry::calculateRenderSize(entries);
    std::vector<ColorAdjustInstruction::Entry> layers;
    layers.reserve(entries.size());
    for (const VideoTrackEntry& entry : entries) {
        layers.push_back(PreviewCompositionBuilder::makeInstructionEntry(entry, renderSize));
    }
    return ColorAdjustCompositor::videoComposition(
        std::make_shared<ColorAdjustInstruction>(
            std::move(layers), media::MediaTimeRange{MediaTime::zero(), compositionDuration},
            renderSize, buildTextOverlayEntries(textClips), buildImageOverlayEntries(imageClips)),
        std::move(logger));
}

std::vector<ColorAdjustInstruction::TextOverlayEntry>
ExportCompositionBuilder::buildTextOverlayEntries(const std::vector<Clip>& textClips) {
    std::vector<ColorAdjustInstruction::TextOverlayEntry> overlays;
    overlays.reserve(textClips.size());
    for (const Clip& clip : textClips) {
        overlays.push_back(textOverlayEntry(clip));
    }
    return overlays;
}

std::vector<ColorAdjustInstruction::ImageOverlayEntry>
ExportCompositionBuilder::buildImageOverlayEntries(const std::vector<Clip>& imageClips) {
    std::vector<ColorAdjustInstruction::ImageOverlayEntry> overlays;
    for (const Clip& clip : imageClips) {
        if (auto overlay = imageOverlayEntry(clip)) {
            overlays.push_back(std::move(*overlay));
        }
    }
    return overlays;
}

ColorAdjustInstruction::TextOverlayEntry
ExportCompositionBuilder::textOverlayEntry(const Clip& clip) {
    return {
        .text = clip.assetName,
        .style = clip.textStyle.value_or(TextStyle::defaultStyle()),
        .position = clip.textPosition.value_or(TextPosition::bottom()),
        .textAnimation = clip.textAnimation,
        .textScale = clip.textScale,
        .fadeTiming = overlayTiming(clip),
    };
}

std::optional<ColorAdjustInstruction::ImageOverlayEntry>
ExportCompositionBuilder::imageOverlayEntry(const Clip& clip) {
    if (!namesFile(clip.assetURL)) {
        return std::nullopt;
    }
    return ColorAdjustInstruction::ImageOverlayEntry{
        .imageURL = *clip.assetURL,
        .colorAdjust = clip.colorAdjust,
        .filter = clip.filter,
        .clipTransform = clip.transform,
        .imageAnimation = clip.imageAnimation,
        .overlayTransform = clip.overlayTransform,
        .fadeTiming = overlayTiming(clip),
    };
}

} // namespace vexel
