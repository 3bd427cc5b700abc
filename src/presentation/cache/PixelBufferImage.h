#pragma once

#include "platform/media/PixelBuffer.h"

#include <QImage>

namespace vexel {

// A media buffer's pixels as an image Qt draws, without copying them: the
// image keeps the buffer alive. Nobody may write to either afterwards. A null
// image for a null buffer.
QImage imageOfPixels(const media::PixelBuffer& pixels);

} // namespace vexel
