#pragma once

#include "foundation/WorkerPool.h"
#include "platform/image/Picture.h"
#include "platform/media/PixelBuffer.h"

// The kernels that turn a Picture into pixels. Each samples the picture's
// pixels once, inverse-mapped through its transform with bilinear weights,
// times the share of each target pixel that the picture covers (so edges on
// pixel boundaries stay sharp and slanted edges are smoothed over a pixel),
// applies its colour steps to the sampled colour, multiplies by its alpha,
// keeps what its crops keep, and writes the result, in one pass over the
// target's rows, which `workers` share out in bands. Pictures moved by whole
// pixels only are copied, not resampled.
namespace vexel::image {

// Draws `picture` over `canvas`, premultiplied source-over:
// out = src + dst · (1 − srcAlpha). Pixels outside the picture are untouched.
void compositeOver(media::PixelBuffer& canvas, const Picture& picture, WorkerPool& workers);

// Adds `picture` to `canvas`, premultiplied: out = src + dst, each channel
// limited to 255. Two layers weighted 1 − p and p and added this way are
// their linear mix. Pixels outside the picture are untouched.
void addOnto(media::PixelBuffer& canvas, const Picture& picture, WorkerPool& workers);

// Writes every pixel of `target`: the picture where it is, transparent
// elsewhere, whatever the target held. Starting a frame with its bottom layer
// this way saves clearing it first.
void renderInto(media::PixelBuffer& target, const Picture& picture, WorkerPool& workers);

// The picture rendered over its extent, rounded out to whole pixels: a new
// buffer whose bottom-left corner is the rounded extent's. A null buffer when
// the picture is empty or larger than a buffer can be.
media::PixelBuffer render(const Picture& picture, WorkerPool& workers);

} // namespace vexel::image
