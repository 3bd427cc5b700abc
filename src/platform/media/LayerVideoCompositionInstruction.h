#pragma once

#include "platform/media/Affine.h"
#include "platform/media/ParameterTimeline.h"
#include "platform/media/VideoCompositionInstruction.h"

#include <optional>
#include <utility>
#include <vector>

namespace vexel::media {

// How one composition video track is drawn in the built-in layer form.
struct VideoCompositionLayerInstruction {
    int trackID = 0;
    // Maps the source frame's pixels into the render frame, both with the
    // origin at the top left; each holds from its time on (identity before).
    std::vector<std::pair<MediaTime, Affine>> transforms{};
    // The part of the source frame that is drawn, in source pixels.
    std::optional<Rect> cropRectangle{};
    ParameterTimeline opacity{};

    void setTransform(const Affine& transform, const MediaTime& at);
    Affine transformAt(const MediaTime& time) const;

    friend bool operator==(const VideoCompositionLayerInstruction&,
                           const VideoCompositionLayerInstruction&) = default;
};

// Layers over an opaque black background: the first layer on top; each
// sampled bilinearly through its transform, cropped, at its opacity.
class LayerVideoCompositionInstruction : public VideoCompositionInstruction {
public:
    LayerVideoCompositionInstruction(MediaTimeRange timeRange,
                                     std::vector<VideoCompositionLayerInstruction> layers);

    MediaTimeRange timeRange() const override { return timeRange_; }
    std::vector<int> requiredSourceTrackIDs() const override;
    const std::vector<VideoCompositionLayerInstruction>& layerInstructions() const {
        return layers_;
    }

private:
    MediaTimeRange timeRange_;
    std::vector<VideoCompositionLayerInstruction> layers_;
};

} // namespace vexel::media
