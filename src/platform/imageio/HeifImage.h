#pragma once

// HEIF decoding through libheif; used by ImageSource only.

#include "platform/media/PixelBuffer.h"

#include <cstdint>
#include <span>

namespace vexel::imageio::detail {

// Whether the bytes begin like a HEIF file that libheif reads.
bool isHeif(std::span<const std::uint8_t> file);

// The primary image, its rotation and mirroring applied, as premultiplied
// BGRA. Null when decoding fails or the image is too large.
media::PixelBuffer decodeHeif(std::span<const std::uint8_t> file);

} // namespace vexel::imageio::detail
