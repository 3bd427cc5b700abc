#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Reading the orientation a still image is stored in from its EXIF data. The
// data comes from files the user picked: every offset and length is checked
// against the bytes at hand.
namespace vexel::imageio {

// The orientation tag (1 to 8) of the first image directory of an EXIF block
// in its TIFF form ("II" or "MM", 42, the directory's offset, ...). Nothing
// when the block is malformed, has no such tag or holds a value outside 1...8.
std::optional<int> exifOrientation(std::span<const std::uint8_t> tiff);

// The orientation in the eXIf chunk of a PNG file, read as above. Nothing for
// bytes that are not a PNG file or hold no eXIf chunk.
std::optional<int> pngExifOrientation(std::span<const std::uint8_t> file);

} // namespace vexel::imageio
