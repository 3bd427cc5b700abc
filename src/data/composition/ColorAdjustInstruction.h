#pragma once

#include "data/composition/FadeTimingInfo.h"
#include "domain/entities/ClipTransform.h"
#include "domain/entities/ColorAdjust.h"
#include "domain/entities/EasingCurve.h"
#include "domain/entities/FilterPreset.h"
#include "domain/entities/ImageAnimation.h"
#include "domain/entities/OverlayTransform.h"
#include "domain/entities/TextAnimation.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"
#include "domain/entities/TransitionType.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTimeRange.h"
#include "platform/media/VideoCompositionInstruction.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

// Everything the frame compositor draws in one time range of a composition,
// without looking at the project: clip layers, then image overlays, then text
// overlays, each with its on-screen time and fades. Immutable once made, so
// several frames may read it at once.
class ColorAdjustInstruction : public media::VideoCompositionInstruction {
public:
    // One clip layer, drawn from the source frame of its composition track.
    struct Entry {
        std::int32_t trackID = 0;
        // Maps the source frame, origin at the bottom left, into the render
        // frame, origin at the bottom left.
        media::Affine transform{};
        std::optional<ColorAdjust> colorAdjust;
        std::optional<FilterPreset> filter;
        // The windows are those of the clip's transitions, whatever their type.
        FadeTimingInfo fadeTiming;
        std::optional<TransitionType> transitionType;
        EasingCurve transitionEasing = EasingCurve::linear;
        std::optional<TransitionType> transitionOutType;
        EasingCurve transitionOutEasing = EasingCurve::linear;
        // The part of the source frame the layer shows (the clip's crop), in
        // the space `transform` maps from; absent: the whole frame.
        std::optional<media::Rect> cropRect;

        friend bool operator==(const Entry&, const Entry&) = default;
    };

    struct TextOverlayEntry {
        std::string text;
        TextStyle style;
        TextPosition position;
        std::optional<TextAnimation> textAnimation;
        // An extra scale of the placed text; absent: none.
        std::optional<double> textScale;
        FadeTimingInfo fadeTiming;

        friend bool operator==(const TextOverlayEntry&, const TextOverlayEntry&) = default;
    };

    struct ImageOverlayEntry {
        std::filesystem::path imageURL;
        std::optional<ColorAdjust> colorAdjust;
        std::optional<FilterPreset> filter;
        std::optional<ClipTransform> clipTransform;
        std::optional<ImageAnimation> imageAnimation;
        std::optional<OverlayTransform> overlayTransform;
        FadeTimingInfo fadeTiming;

        friend bool operator==(const ImageOverlayEntry&, const ImageOverlayEntry&) = default;
    };

    ColorAdjustInstruction(std::vector<Entry> entries, media::MediaTimeRange timeRange,
                           media::Size renderSize, std::vector<TextOverlayEntry> textOverlays = {},
                           std::vector<ImageOverlayEntry> imageOverlays = {});

    // In compositing order: the first is drawn first, at the bottom.
    const std::vector<Entry>& entries() const { return entries_; }
    // Drawn in this order, after the image overlays.
    const std::vector<TextOverlayEntry>& textOverlays() const { return textOverlays_; }
    // Drawn in this order, after every clip layer.
    const std::vector<ImageOverlayEntry>& imageOverlays() const { return imageOverlays_; }
    media::MediaTimeRange timeRange() const override { return timeRange_; }
    const media::Size& renderSize() const { return renderSize_; }

    bool enablePostProcessing() const { return false; }
    // Whether frames differ over time other than by their source frames: a
    // fade window, a geometric transition or an overlay animation.
    bool containsTweening() const { return containsTweening_; }
    // Every entry's track, in entry order, duplicates kept.
    std::vector<int> requiredSourceTrackIDs() const override;
    // No source frame is ever passed through untouched.
    std::int32_t passthroughTrackID() const { return 0; }

    // The items drawn at a composition time, in stored order. The pointers
    // are valid as long as the instruction.
    std::vector<const Entry*> activeEntries(const media::MediaTime& time) const;
    std::vector<const TextOverlayEntry*> activeTextOverlays(const media::MediaTime& time) const;
    std::vector<const ImageOverlayEntry*> activeImageOverlays(const media::MediaTime& time) const;

private:
    std::vector<Entry> entries_;
    std::vector<TextOverlayEntry> textOverlays_;
    std::vector<ImageOverlayEntry> imageOverlays_;
    media::MediaTimeRange timeRange_;
    media::Size renderSize_;
    bool containsTweening_ = false;
};

} // namespace vexel
