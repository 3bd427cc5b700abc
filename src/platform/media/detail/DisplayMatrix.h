#pragma once

// Conversion between FFmpeg's display matrix (nine 32-bit fixed-point values,
// laid out as a QuickTime track matrix) and a track's preferred transform.
// Internal to the media layer.

#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"

#include <array>
#include <cstdint>

namespace vexel::media {

using DisplayMatrix = std::array<std::int32_t, 9>;

// The transform that turns a picture of `naturalSize` for display, moved so
// that the turned picture starts at the origin: FFmpeg's own matrices (from
// rotation metadata) carry no translation, QuickTime ones do.
Affine preferredTransformFromDisplayMatrix(const DisplayMatrix& matrix, Size naturalSize);

DisplayMatrix displayMatrixFromTransform(const Affine& transform);

} // namespace vexel::media
