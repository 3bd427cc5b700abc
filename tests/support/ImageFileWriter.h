#pragma once

#include "platform/media/PixelBuffer.h"

#include <cstdint>
#include <filesystem>

// Still image files that tests write themselves, with the EXIF orientation a
// camera would store: the pixels as given, plus a note of how to turn them
// upright.
namespace vexel::testing {

// HEIC at 8 bits per channel, or at 10 as cameras that record HDR store it.
enum class ImageFileFormat { png, jpeg, heic, heic10Bit };

// Writes `pixels` (opaque premultiplied BGRA) as a file of `format`. An
// `orientation` other than 1 is stored as an EXIF orientation (an eXIf chunk
// in PNG, an APP1 segment in JPEG) or, for HEIC, as the rotation and mirror
// boxes libheif writes for it. Throws std::runtime_error when writing fails.
void writeImageFile(const std::filesystem::path& path, const media::PixelBuffer& pixels,
                    ImageFileFormat format, int orientation = 1);

// Writes an opaque PNG of one shade of red, put together by hand so that it
// may be larger than any PixelBuffer.
void writeSolidPng(const std::filesystem::path& path, int width, int height, std::uint8_t red);

} // namespace vexel::testing
