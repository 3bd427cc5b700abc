#pragma once

// The pixel work of the built-in layer form. Internal to the media layer.

#include "platform/media/Affine.h"
#include "platform/media/PixelBuffer.h"

#include <optional>

namespace vexel::media::detail {

void fillOpaqueBlack(const PixelBuffer& target);

// Draws `source` over `target` (both premultiplied BGRA, top-left origin):
// source pixel space is mapped into target space by `transform`, only the
// part inside `crop` (source pixels) is drawn, sampled bilinearly, at
// `opacity` (0 to 1).
void drawLayer(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
               const std::optional<Rect>& crop, float opacity);

} // namespace vexel::media::detail
