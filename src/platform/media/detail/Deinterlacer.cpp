#include "platform/media/detail/Deinterlacer.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

#include <sstream>

namespace vexel::media::detail {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

constexpr const char* kContext = "Cannot deinterlace";

// A track that says it is interlaced is deinterlaced whole; otherwise only
// the pictures that say so, in the field order each gives.
std::string filterOptions(FieldOrder fieldOrder) {
    std::ostringstream options;
    options << "mode=send_frame";
    if (fieldOrder != FieldOrder::progressive) {
        options << ":deint=all:parity="
                << (fieldOrder == FieldOrder::bottomFieldFirst ? "bff" : "auto");
    } else {
        options << ":deint=interlaced:parity=auto";
    }
    return options.str();
}

} // namespace

bool Deinterlacer::wanted(const AssetTrack& track, const AVFrame& picture) {
    // The filter needs lines above and below the one it makes.
    if (picture.width < 3 || picture.height < 4) {
        return false;
    }
    return track.fieldOrder != FieldOrder::progressive || picture.interlaced_frame != 0;
}

Deinterlacer::Deinterlacer(const AssetTrack& track, AVRational timeBase)
    : fieldOrder_(track.fieldOrder)
    , timeBase_(timeBase.num > 0 && timeBase.den > 0 ? timeBase : AVRational{1, 90000}) {}

Deinterlacer::~Deinterlacer() = default;

void Deinterlacer::build(const AVFrame& picture) {
    graph_.reset(avfilter_graph_alloc());
    if (!graph_) {
        throw std::bad_alloc();
    }
    // Zero: slice threads on every core, as the decoders have.
    graph_->nb_threads = 0;
    AVRational aspect = picture.sample_aspect_ratio;
    if (aspect.num <= 0 || aspect.den <= 0) {
        aspect = AVRational{1, 1};
    }
    std::ostringstream source;
    source << "video_size=" << picture.width << "x" << picture.height
           << ":pix_fmt=" << picture.format << ":time_base=" << timeBase_.num << "/"
           << timeBase_.den << ":pixel_aspect=" << aspect.num << "/" << aspect.den;
    check(avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in",
                                       source.str().c_str(), nullptr, graph_.get()),
          Kind::unsupported, kContext);
    AVFilterContext* filter = nullptr;
    check(avfilter_graph_create_filter(&filter, avfilter_get_by_name("bwdif"), "deinterlace",
                                       filterOptions(fieldOrder_).c_str(), nullptr, graph_.get()),
          Kind::unsupported, kContext);
    check(avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr,
                                       nullptr, graph_.get()),
          Kind::unsupported, kContext);
    check(avfilter_link(source_, 0, filter, 0), Kind::unsupported, kContext);
    check(avfilter_link(filter, 0, sink_, 0), Kind::unsupported, kContext);
    check(avfilter_graph_config(graph_.get(), nullptr), Kind::unsupported, kContext);
    width_ = picture.width;
    height_ = picture.height;
    format_ = picture.format;
}

void Deinterlacer::push(const AVFrame& picture) {
    if (graph_ &&
        (picture.width != width_ || picture.height != height_ || picture.format != format_)) {
        endGraph();
    }
    if (!graph_) {
        build(picture);
    }
    ffmpeg::FramePtr input = ffmpeg::makeFrame();
    check(av_frame_ref(input.get(), &picture), Kind::decodingFailed, kContext);
    // The decoder's best guess is the time the reader goes by.
    input->pts = picture.best_effort_timestamp;
    check(av_buffersrc_add_frame_flags(source_, input.get(), 0), Kind::decodingFailed, kContext);
    collect();
}

void Deinterlacer::finish() {
    if (graph_) {
        endGraph();
    }
}

void Deinterlacer::endGraph() {
    check(av_buffersrc_add_frame_flags(source_, nullptr, 0), Kind::decodingFailed, kContext);
    collect();
    graph_.reset();
    source_ = nullptr;
    sink_ = nullptr;
}

void Deinterlacer::collect() {
    while (true) {
        ffmpeg::FramePtr frame = ffmpeg::makeFrame();
        const int received = av_buffersink_get_frame(sink_, frame.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return;
        }
        check(received, Kind::decodingFailed, kContext);
        // The filter counts in half the pictures' time base, as it could make
        // a frame of every field.
        if (frame->pts != AV_NOPTS_VALUE) {
            frame->pts = av_rescale_q(frame->pts, av_buffersink_get_time_base(sink_), timeBase_);
        }
        frame->best_effort_timestamp = frame->pts;
        ready_.push_back(std::move(frame));
    }
}

ffmpeg::FramePtr Deinterlacer::pull() {
    if (ready_.empty()) {
        return nullptr;
    }
    ffmpeg::FramePtr frame = std::move(ready_.front());
    ready_.pop_front();
    return frame;
}

ffmpeg::FramePtr Deinterlacer::single(const AssetTrack& track, const AVFrame* before,
                                      const AVFrame& picture, const AVFrame* after) {
    // Numbered in order, so that the picture's own frame is known by its
    // number whatever the timestamps say.
    Deinterlacer deinterlacer(track, AVRational{1, 1});
    std::int64_t number = 0;
    auto pushNumbered = [&](const AVFrame& frame) {
        ffmpeg::FramePtr numbered = ffmpeg::makeFrame();
        check(av_frame_ref(numbered.get(), &frame), Kind::decodingFailed, kContext);
        numbered->best_effort_timestamp = number++;
        deinterlacer.push(*numbered);
    };
    if (before) {
        pushNumbered(*before);
    }
    const std::int64_t wantedNumber = number;
    pushNumbered(picture);
    if (after) {
        pushNumbered(*after);
    }
    deinterlacer.finish();
    while (ffmpeg::FramePtr frame = deinterlacer.pull()) {
        if (frame->pts == wantedNumber) {
            frame->pts = picture.pts;
            frame->best_effort_timestamp = picture.best_effort_timestamp;
            return frame;
        }
    }
    throw MediaError(Kind::decodingFailed, std::string(kContext) + ": no frame came out");
}

} // namespace vexel::media::detail
