#include "presentation/cache/PixelBufferImage.h"

#include <bit>

namespace vexel {

// BGRA in memory is what Qt's ARGB32 is on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

QImage imageOfPixels(const media::PixelBuffer& pixels) {
    if (pixels.isNull()) {
        return {};
    }
    auto* owner = new media::PixelBuffer(pixels);
    return QImage(
        static_cast<const uchar*>(pixels.data()), pixels.width(), pixels.height(),
        static_cast<qsizetype>(pixels.bytesPerRow()), QImage::Format_ARGB32_Premultiplied,
        [](void* held) { delete static_cast<media::PixelBuffer*>(held); }, owner);
}

} // namespace vexel
