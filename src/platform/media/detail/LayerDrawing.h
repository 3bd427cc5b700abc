#pragma once

// The pixel work of the built-in layer form. Internal to the media layer.

#include "platform/media/Affine.h"
#include "platform/media/PixelBuffer.h"

#include <optional>

namespace vexel::media::detail {

void fillOpaqueBlack(const PixelBuffer& target);

// Whether `drawOverBlack` can draw this layer: a whole-pixel move of an
// uncropped source that covers the whole target.
bool coversTarget(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
                  const std::optional<Rect>& crop);
// The target becomes the source over opaque black at `opacity`, in one
// writing pass: what drawLayer over fillOpaqueBlack gives for such a layer.
void drawOverBlack(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
                   float opacity);

// Draws `source` over `target` (both premultiplied BGRA, top-left origin):
// source pixel space is mapped into target space by `transform`, only the
// part inside `crop` (source pixels) is drawn, sampled bilinearly, at
// `opacity` (0 to 1).
void drawLayer(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
               const std::optional<Rect>& crop, float opacity);

} // namespace vexel::media::detail
