#pragma once

#include "platform/media/PixelBuffer.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace vexel::imageio {

// A still image file opened for decoding: PNG, JPEG, GIF and the other formats
// of the desktop's image library, and HEIF (.heic). Only the first image of a
// file counts. The whole file is read when it is opened; decoding may then
// happen on any thread, several at once. Qt's image formats need no
// QGuiApplication. The first open raises Qt's process-wide limit on the
// memory of one decoded image (128 MB by default) to that of the largest
// PixelBuffer, so that photos of many megapixels decode; it is never lowered.
class ImageSource {
public:
    // Files larger than this are not read: no image a PixelBuffer can hold
    // comes out of one.
    static constexpr std::uintmax_t maxFileSize = std::uintmax_t{1} << 30;

    // Nothing when the file cannot be read, is too large, or is in no format
    // that can be decoded here. The path is used as it is, whatever its bytes.
    static std::optional<ImageSource> open(const std::filesystem::path& path);

    // The first image as stored, not yet turned upright, as premultiplied BGRA.
    // Null when its data is broken or it is larger than a PixelBuffer can be.
    // HEIF images come out with the rotation and mirroring of their file
    // already applied: their orientation() is then always 1.
    media::PixelBuffer decodeImage() const;

    // The EXIF orientation (1 to 8) of the first image: the turn and mirror that
    // make decodeImage() upright. 1 when the file names none.
    int orientation() const { return orientation_; }

private:
    enum class Format { heif, qt };

    ImageSource(std::shared_ptr<const std::vector<std::uint8_t>> bytes, Format format,
                int orientation)
        : bytes_(std::move(bytes))
        , format_(format)
        , orientation_(orientation) {}

    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    Format format_;
    int orientation_;
};

} // namespace vexel::imageio
