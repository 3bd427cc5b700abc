#pragma once

#include "domain/entities/AudioEffect.h"
#include "domain/entities/ClipTransform.h"
#include "domain/entities/ColorAdjust.h"
#include "domain/entities/FilterPreset.h"
#include "domain/entities/ImageAnimation.h"
#include "domain/entities/OverlayTransform.h"
#include "domain/entities/TextAnimation.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"
#include "domain/entities/TimeRange.h"
#include "domain/entities/TrackType.h"
#include "domain/entities/TransitionEffect.h"
#include "foundation/Json.h"
#include "foundation/Uuid.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

// One item on a track: a piece of a media file or a text overlay, with every
// adjustment the user can make to it. Edits never change a clip in place: they
// build a changed copy through ClipBuilder and replace the clip by id.
// An absent optional means "not applied"; the defaults are the neutral values.
struct Clip {
    Uuid id{};
    // The media file's display name; for a text clip, the text it shows.
    std::string assetName{};
    // The media file; absent for text clips.
    std::optional<std::filesystem::path> assetURL = std::nullopt;
    TrackType trackType = TrackType::video;
    // Position and visible length on the timeline, at the clip's speed.
    TimeRange timeRange{};
    // In-point in source seconds (not scaled by rate).
    double sourceOffset = 0;
    double volume = 1;
    std::optional<TextPosition> textPosition = std::nullopt;
    std::optional<TextStyle> textStyle = std::nullopt;
    // Playback speed; the source span used is duration x rate.
    double rate = 1;
    double opacity = 1;
    std::optional<ColorAdjust> colorAdjust = std::nullopt;
    std::optional<ClipTransform> transform = std::nullopt;
    std::optional<TransitionEffect> transitionIn = std::nullopt;
    std::optional<TransitionEffect> transitionOut = std::nullopt;
    bool isReversed = false;
    std::optional<FilterPreset> filter = std::nullopt;
    // Span (start counted from the clip's start) over which the audio level
    // ramps linearly from full to `volume`.
    std::optional<TimeRange> fadeRange = std::nullopt;
    std::optional<TextAnimation> textAnimation = std::nullopt;
    std::optional<ImageAnimation> imageAnimation = std::nullopt;
    std::optional<OverlayTransform> overlayTransform = std::nullopt;
    std::optional<double> textScale = std::nullopt;
    std::optional<std::vector<AudioEffect>> audioEffects = std::nullopt;

    // The clip, or a copy without both transitions when they do not fit together.
    Clip clampingTransitions() const;

    // A colour adjustment away from neutral or an active filter.
    bool hasVisualEffect() const;

    // An adjustment away from its neutral value that the timeline marks, judged by
    // the clip's kind.
    bool hasEditableEffects() const;

    // Opacity at a timeline time, ramped linearly by the transitions.
    double effectiveOpacity(double time) const;

    friend bool operator==(const Clip&, const Clip&) = default;
};

// The stored record of a clip: 23 members in field order, the media file under
// "assetPath" as its path; absent optionals are left out.
void to_json(Json& json, const Clip& clip);
void from_json(const Json& json, Clip& clip);

} // namespace vexel
