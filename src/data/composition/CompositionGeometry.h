#pragma once

#include "data/composition/VideoTrackEntry.h"
#include "domain/entities/ClipTransform.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"

#include <optional>
#include <vector>

namespace vexel {

// The plane geometry every video composition shares: how large the output
// frame is, and how one source frame is turned upright, mirrored, cropped and
// fitted into it. Everything here is in top-left coordinates (y down).
class CompositionGeometry {
public:
    CompositionGeometry() = delete;

    // Each side is the largest of the entries' upright, cropped sides, taken
    // separately; 0 x 0 without entries.
    static media::Size calculateRenderSize(const std::vector<VideoTrackEntry>& entries);

    // Maps the source frame so that its upright, flipped picture starts at
    // (0, 0) and, given a render size, so that the picture (or its crop
    // region) is scaled to fit and centred in it. Transforms are applied
    // left to right ("t, then X" is t.then(X)).
    static media::Affine calculateFitTransform(media::Size naturalSize,
                                               const media::Affine& sourceTransform,
                                               const std::optional<ClipTransform>& clipTransform,
                                               std::optional<media::Size> renderSize);

    // The part of the source frame, in its own pixels, that the clip's crop
    // keeps: the region that calculateFitTransform fits into the render size.
    // Nothing when the clip keeps the whole frame.
    static std::optional<media::Rect>
    calculateCropRectangle(media::Size naturalSize, const media::Affine& sourceTransform,
                           const std::optional<ClipTransform>& clipTransform);
};

} // namespace vexel
