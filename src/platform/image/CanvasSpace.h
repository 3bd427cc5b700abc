#pragma once

#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"

// The one space pictures are placed in. Every Picture transform, crop
// rectangle and extent is in pixels with the origin at the bottom-left corner
// of the canvas and y pointing up, the space the frame compositor draws in.
// Pixel (column i, buffer row j) of a w x h buffer covers [i, i + 1] x
// [h - 1 - j, h - j]: buffer rows still run top to bottom, and the kernels
// turn rows into heights. Geometry that comes from the media layer (a track's
// preferred transform, the fit of a clip into the frame) is in top-left
// coordinates with y down; bring it over with bottomLeftTransform.
namespace vexel::image {

// Mirrors a space of the given height top to bottom: y becomes height - y. It
// is its own inverse.
media::Affine flipVertical(double height);

// A transform made in top-left coordinates (from a source `sourceHeight` high
// into a canvas `canvasHeight` high) as the same mapping between the two
// spaces with the origin at the bottom left: flip, transform, flip.
media::Affine bottomLeftTransform(const media::Affine& topLeft, double sourceHeight,
                                  double canvasHeight);

// A rectangle given from the top edge down (as crop rectangles of stored
// images are) in a space `height` high, in the bottom-up space.
media::Rect bottomLeftRect(const media::Rect& topLeft, double height);

} // namespace vexel::image
