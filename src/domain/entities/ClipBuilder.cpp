#include "domain/entities/ClipBuilder.h"

namespace vexel {

ClipBuilder::ClipBuilder(const Clip& clip)
    : id(clip.id)
    , assetName(clip.assetName)
    , assetURL(clip.assetURL)
    , trackType(clip.trackType)
    , timeRange(clip.timeRange)
    , sourceOffset(clip.sourceOffset)
    , volume(clip.volume)
    , textPosition(clip.textPosition)
    , textStyle(clip.textStyle)
    , rate(clip.rate)
    , opacity(clip.opacity)
    , colorAdjust(clip.colorAdjust)
    , transform(clip.transform)
    , transitionIn(clip.transitionIn)
    , transitionOut(clip.transitionOut)
    , isReversed(clip.isReversed)
    , filter(clip.filter)
    , fadeRange(clip.fadeRange)
    , textAnimation(clip.textAnimation)
    , imageAnimation(clip.imageAnimation)
    , overlayTransform(clip.overlayTransform)
    , textScale(clip.textScale)
    , audioEffects(clip.audioEffects) {}

Clip ClipBuilder::build() const {
    return Clip{
        .id = id,
        .assetName = assetName,
        .assetURL = assetURL,
        .trackType = trackType,
        .timeRange = timeRange,
        .sourceOffset = sourceOffset,
        .volume = volume,
        .textPosition = textPosition,
        .textStyle = textStyle,
        .rate = rate,
        .opacity = opacity,
        .colorAdjust = colorAdjust,
        .transform = transform,
        .transitionIn = transitionIn,
        .transitionOut = transitionOut,
        .isReversed = isReversed,
        .filter = filter,
        .fadeRange = fadeRange,
        .textAnimation = textAnimation,
        .imageAnimation = imageAnimation,
        .overlayTransform = overlayTransform,
        .textScale = textScale,
        .audioEffects = audioEffects,
    };
}

} // namespace vexel
