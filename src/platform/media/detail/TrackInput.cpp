#include "platform/media/detail/TrackInput.h"

#include "platform/media/MediaError.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

namespace vexel::media::detail {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

int interruptRequested(void* opaque) {
    return static_cast<std::atomic<bool>*>(opaque)->load(std::memory_order_relaxed) ? 1 : 0;
}

// Whether the QuickTime/MP4 header alone describes the video track to be
// read well enough to decode it. Probing the streams would decode several
// frames single-threaded to guess H.264's reordering, which the decoder
// learns from the stream anyway; that would cost every seek tens of
// milliseconds before its own decoding even starts.
bool headerDescribesVideo(const AVFormatContext& format, const AssetTrack& track) {
    if (track.mediaType != MediaType::video || track.trackID < 0 ||
        static_cast<unsigned>(track.trackID) >= format.nb_streams ||
        std::string_view(format.iformat->name).find("mp4") == std::string_view::npos) {
        return false;
    }
    const AVCodecParameters& codec = *format.streams[track.trackID]->codecpar;
    return codec.codec_type == AVMEDIA_TYPE_VIDEO && codec.codec_id != AV_CODEC_ID_NONE &&
           codec.width > 0 && codec.height > 0 && codec.extradata_size > 0;
}

} // namespace

TrackInput openTrackInput(const Asset& asset, const AssetTrack& track, int videoThreads,
                          std::atomic<bool>& interrupt) {
    const std::string context = "Cannot read \"" + asset.path.string() + "\"";
    ffmpeg::requireRegularFile(asset.path, context);
    TrackInput input;
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        throw std::bad_alloc();
    }
    raw->interrupt_callback.callback = interruptRequested;
    raw->interrupt_callback.opaque = &interrupt;
    ffmpeg::Options formatOptions;
    formatOptions.set("protocol_whitelist", "file");
    // On failure FFmpeg frees the context itself.
    check(avformat_open_input(&raw, ffmpeg::fileUrl(asset.path).c_str(), nullptr,
                              formatOptions.get()),
          Kind::cannotOpen, context);
    input.format.reset(raw);
    AVFormatContext& format = *input.format;
    if (!headerDescribesVideo(format, track)) {
        check(avformat_find_stream_info(&format, nullptr), Kind::cannotOpen, context);
    }

    if (track.trackID < 0 || static_cast<unsigned>(track.trackID) >= format.nb_streams) {
        throw MediaError(Kind::noSuchTrack,
                         context + ": no track " + std::to_string(track.trackID));
    }
    AVStream* stream = format.streams[track.trackID];
    AVMediaType wanted =
        track.mediaType == MediaType::video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    if (stream->codecpar->codec_type != wanted) {
        throw MediaError(Kind::noSuchTrack, context + ": track " + std::to_string(track.trackID) +
                                                " is not of the expected kind");
    }
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        if (format.streams[i] != stream) {
            format.streams[i]->discard = AVDISCARD_ALL;
        }
    }
    input.stream = stream;

    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        throw MediaError(Kind::unsupported, context + ": no decoder for " +
                                                avcodec_get_name(stream->codecpar->codec_id));
    }
    input.decoder.reset(avcodec_alloc_context3(codec));
    if (!input.decoder) {
        throw std::bad_alloc();
    }
    AVCodecContext& decoder = *input.decoder;
    check(avcodec_parameters_to_context(&decoder, stream->codecpar), Kind::unsupported, context);
    decoder.pkt_timebase = stream->time_base;
    // Zero asks FFmpeg for one per core.
    decoder.thread_count = track.mediaType == MediaType::video ? videoThreads : 0;
    decoder.thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    check(avcodec_open2(&decoder, codec, nullptr), Kind::unsupported, context);
    return input;
}

MediaTime assetTime(const AVStream& stream, const Asset& asset, std::int64_t timestamp) {
    const AVRational base = stream.time_base;
    return MediaTime(timestamp, base.den).multipliedByRatio(base.num, 1) - asset.timelineStart;
}

std::int64_t streamTime(const AVStream& stream, const Asset& asset, const MediaTime& time,
                        AVRounding rounding) {
    const MediaTime onStream = time + asset.timelineStart;
    return av_rescale_q_rnd(onStream.value(), AVRational{1, onStream.timescale()}, stream.time_base,
                            rounding);
}

void seekBefore(AVFormatContext& format, const AVStream& stream, std::int64_t timestamp) {
    if (av_seek_frame(&format, stream.index, timestamp, AVSEEK_FLAG_BACKWARD) < 0) {
        // A failed seek only costs decoding from the beginning.
        av_seek_frame(&format, stream.index, std::numeric_limits<std::int64_t>::min(),
                      AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    }
}

bool landedLate(const AVStream& stream, std::int64_t point, std::int64_t target,
                std::int64_t first) {
    const std::int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    return first > target && point > start;
}

std::int64_t earlierSeekPoint(const AVStream& stream, std::int64_t point, int attempt) {
    const std::int64_t second = av_rescale_q(1, AVRational{1, 1}, stream.time_base);
    const int doublings = std::clamp(attempt - 1, 0, 16);
    return point - second * (std::int64_t{1} << doublings);
}

int displayWidth(int storedWidth, const AssetTrack& track) {
    if (track.pixelAspectNumerator == track.pixelAspectDenominator ||
        track.pixelAspectNumerator <= 0 || track.pixelAspectDenominator <= 0) {
        return storedWidth;
    }
    return static_cast<int>(
        std::max<std::int64_t>(1, av_rescale_rnd(storedWidth, track.pixelAspectNumerator,
                                                 track.pixelAspectDenominator, AV_ROUND_NEAR_INF)));
}

PixelBuffer toPixelBuffer(const AVFrame& frame, const AssetTrack& track,
                          std::optional<PixelBufferPool>& pool, ffmpeg::Scaler& scaler,
                          std::size_t idle) {
    const int width = displayWidth(frame.width, track);
    if (!pool || pool->width() != width || pool->height() != frame.height) {
        pool.emplace(width, frame.height, idle);
    }
    PixelBuffer buffer = pool->makeBufferForOverwrite();
    ffmpeg::FramePtr target = ffmpeg::frameOver(buffer, width, frame.height);
    ffmpeg::ScaleFormats formats;
    formats.sourceWidth = frame.width;
    formats.sourceHeight = frame.height;
    formats.sourceFormat = static_cast<AVPixelFormat>(frame.format);
    formats.sourceColorspace = ffmpeg::colorspaceOf(frame);
    formats.sourceFullRange = ffmpeg::isFullRange(frame);
    formats.destinationWidth = width;
    formats.destinationHeight = frame.height;
    formats.destinationFormat = AV_PIX_FMT_BGRA;
    formats.destinationFullRange = true;
    scaler.scale(formats, frame, *target);
    // Converting a format without alpha fills alpha with 255.
    const AVPixFmtDescriptor* described = av_pix_fmt_desc_get(formats.sourceFormat);
    buffer.setOpaque(described && (described->flags & AV_PIX_FMT_FLAG_ALPHA) == 0);
    return buffer;
}

} // namespace vexel::media::detail
