#pragma once

// Pixel format conversion through swscale, on all cores. Internal to the media
// layer.

#include "platform/media/PixelBuffer.h"
#include "platform/media/detail/FFmpeg.h"

namespace vexel::media::ffmpeg {

struct ScaleFormats {
    int sourceWidth = 0;
    int sourceHeight = 0;
    AVPixelFormat sourceFormat = AV_PIX_FMT_NONE;
    int destinationWidth = 0;
    int destinationHeight = 0;
    AVPixelFormat destinationFormat = AV_PIX_FMT_NONE;
    // YUV matrices (AVColorSpace values) and ranges; ignored on the RGB side.
    int sourceColorspace = AVCOL_SPC_BT709;
    bool sourceFullRange = false;
    int destinationColorspace = AVCOL_SPC_BT709;
    bool destinationFullRange = false;

    friend bool operator==(const ScaleFormats&, const ScaleFormats&) = default;
};

class Scaler {
public:
    // Converts `source` into `destination`, whose buffers must exist; builds a
    // new context only when the formats change. Throws MediaError.
    void scale(const ScaleFormats& formats, const AVFrame& source, AVFrame& destination);

private:
    ScaleFormats formats_;
    ScaleContextPtr context_;
};

// A frame over the pixels of `buffer`, holding a reference to them for as long
// as FFmpeg keeps the frame. `width` and `height` may be smaller than the
// buffer's to leave out its last columns and rows.
FramePtr frameOver(const PixelBuffer& buffer, int width, int height);

// The YUV matrix of a decoded picture, guessed from its height when unstated.
int colorspaceOf(const AVFrame& frame);
bool isFullRange(const AVFrame& frame);

} // namespace vexel::media::ffmpeg
