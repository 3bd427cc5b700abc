#include "platform/media/detail/Scaler.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <new>

namespace vexel::media::ffmpeg {

namespace {

void releasePixels(void* opaque, std::uint8_t*) {
    delete static_cast<PixelBuffer*>(opaque);
}

ScaleContextPtr makeContext(const ScaleFormats& formats) {
    ScaleContextPtr context(sws_alloc_context());
    if (!context) {
        throw std::bad_alloc();
    }
    SwsContext* c = context.get();
    av_opt_set_int(c, "srcw", formats.sourceWidth, 0);
    av_opt_set_int(c, "srch", formats.sourceHeight, 0);
    av_opt_set_int(c, "src_format", formats.sourceFormat, 0);
    av_opt_set_int(c, "dstw", formats.destinationWidth, 0);
    av_opt_set_int(c, "dsth", formats.destinationHeight, 0);
    av_opt_set_int(c, "dst_format", formats.destinationFormat, 0);
    av_opt_set_int(c, "sws_flags", SWS_BILINEAR, 0);
    // 0: one slice thread per core.
    av_opt_set_int(c, "threads", 0, 0);
    check(sws_init_context(c, nullptr, nullptr), MediaError::Kind::unsupported,
          "Cannot convert pixel format");
    check(sws_setColorspaceDetails(c, sws_getCoefficients(formats.sourceColorspace),
                                   formats.sourceFullRange ? 1 : 0,
                                   sws_getCoefficients(formats.destinationColorspace),
                                   formats.destinationFullRange ? 1 : 0, 0, 1 << 16, 1 << 16),
          MediaError::Kind::unsupported, "Cannot set colour conversion");
    return context;
}

} // namespace

void Scaler::scale(const ScaleFormats& formats, const AVFrame& source, AVFrame& destination) {
    if (!context_ || !(formats == formats_)) {
        context_.reset();
        context_ = makeContext(formats);
        formats_ = formats;
    }
    check(sws_scale_frame(context_.get(), &destination, &source), MediaError::Kind::unsupported,
          "Cannot convert frame");
}

FramePtr frameOver(const PixelBuffer& buffer, int width, int height) {
    FramePtr frame = makeFrame();
    auto* keeper = new PixelBuffer(buffer);
    frame->buf[0] = av_buffer_create(buffer.data(), static_cast<int>(buffer.byteCount()),
                                     releasePixels, keeper, 0);
    if (!frame->buf[0]) {
        delete keeper;
        throw std::bad_alloc();
    }
    frame->data[0] = buffer.data();
    frame->linesize[0] = static_cast<int>(buffer.bytesPerRow());
    frame->width = width;
    frame->height = height;
    frame->format = AV_PIX_FMT_BGRA;
    return frame;
}

int colorspaceOf(const AVFrame& frame) {
    switch (frame.colorspace) {
    case AVCOL_SPC_BT709:
    case AVCOL_SPC_FCC:
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
    case AVCOL_SPC_SMPTE240M:
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return frame.colorspace;
    default:
        return frame.height >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    }
}

bool isFullRange(const AVFrame& frame) {
    switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return frame.color_range == AVCOL_RANGE_JPEG;
    }
}

} // namespace vexel::media::ffmpeg
