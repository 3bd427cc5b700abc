#pragma once

#include "domain/entities/NormalizedRect.h"
#include "foundation/Json.h"

#include <optional>

namespace vexel {

// Rotation, mirroring and crop of a clip's picture.
struct ClipTransform {
    // Degrees; always one of 0, 90, 180, 270 (producers check before building).
    int rotation = 0;
    bool flipHorizontal = false;
    bool flipVertical = false;
    // The kept region of the frame; absent keeps the whole frame.
    std::optional<NormalizedRect> cropRect;

    // Rotation 0, no flips, no crop.
    static ClipTransform identity() { return {}; }

    // Rotation 0, no flips, and no crop or a crop of the whole frame within 1e-9.
    bool isIdentity() const;

    friend bool operator==(const ClipTransform&, const ClipTransform&) = default;
};

// {"rotation", "flipHorizontal", "flipVertical", "cropRect"?}; a rotation other
// than 0, 90, 180 or 270 fails to decode at "rotation".
void to_json(Json& json, const ClipTransform& transform);
void from_json(const Json& json, ClipTransform& transform);

} // namespace vexel
