#pragma once

#include "platform/image/Picture.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"

// Small pieces of affine geometry the overlay renderers share.
namespace vexel::OverlayGeometry {

// Moves by minus `point`, applies `operation`, moves back: `operation` about
// `point`.
media::Affine about(const media::Affine& operation, media::Point point);

// A turn by `degrees`, counter-clockwise on screen in frame space (y up).
// Whole quarter turns are exact, so that quarter-turned pictures keep whole
// pixels.
media::Affine rotationDegrees(double degrees);

// The centre of a rectangle.
media::Point centre(const media::Rect& rect);

bool isFinite(const media::Affine& transform);

// `picture` moved on by `transform`, or left as it is when the numbers of
// the transform are not all finite: a frame keeps its overlay where a broken
// animation value would otherwise stop it.
image::Picture transformedIfFinite(const image::Picture& picture, const media::Affine& transform);

} // namespace vexel::OverlayGeometry
