#pragma once

#include "domain/entities/Clip.h"

namespace vexel {

// A changeable copy of a clip's 23 fields. Edits take a builder from the current
// clip, set what changes and build: the id is copied, so the built clip replaces
// the old one. No validation happens here; limits are the edits' rules.
struct ClipBuilder {
    explicit ClipBuilder(const Clip& clip);

    Clip build() const;

    Uuid id;
    std::string assetName;
    std::optional<std::filesystem::path> assetURL;
    TrackType trackType;
    TimeRange timeRange;
    double sourceOffset;
    double volume;
    std::optional<TextPosition> textPosition;
    std::optional<TextStyle> textStyle;
    double rate;
    double opacity;
    std::optional<ColorAdjust> colorAdjust;
    std::optional<ClipTransform> transform;
    std::optional<TransitionEffect> transitionIn;
    std::optional<TransitionEffect> transitionOut;
    bool isReversed;
    std::optional<FilterPreset> filter;
    std::optional<TimeRange> fadeRange;
    std::optional<TextAnimation> textAnimation;
    std::optional<ImageAnimation> imageAnimation;
    std::optional<OverlayTransform> overlayTransform;
    std::optional<double> textScale;
    std::optional<std::vector<AudioEffect>> audioEffects;
};

} // namespace vexel
