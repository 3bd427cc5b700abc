#include "platform/media/detail/TempoFilter.h"

#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/FilterGraph.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <cstring>
#include <sstream>

namespace vexel::media::detail {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

} // namespace

struct TempoFilter::Graph {
    ffmpeg::FilterGraphPtr graph;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    ffmpeg::FramePtr frame;
};

std::vector<double> TempoFilter::stages(double speed) {
    std::vector<double> result;
    while (speed > 2.0) {
        result.push_back(2.0);
        speed /= 2.0;
    }
    while (speed < 0.5) {
        result.push_back(0.5);
        speed /= 0.5;
    }
    result.push_back(speed);
    return result;
}

TempoFilter::TempoFilter(double speed, int sampleRate, int channelCount)
    : graph_(std::make_unique<Graph>())
    , sampleRate_(sampleRate)
    , channelCount_(channelCount) {
    if (!(speed >= 1.0 / 64 && speed <= 64)) {
        throw MediaError(Kind::invalidArgument, "Speed out of range: " + std::to_string(speed));
    }
    const char* context = "Cannot build the tempo filter";
    graph_->graph.reset(avfilter_graph_alloc());
    if (!graph_->graph) {
        throw std::bad_alloc();
    }
    AVFilterGraph* graph = graph_->graph.get();
    graph->nb_threads = 1;

    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channelCount);
    char layoutName[64] = {};
    av_channel_layout_describe(&layout, layoutName, sizeof layoutName);
    av_channel_layout_uninit(&layout);
    std::ostringstream arguments;
    arguments << "time_base=1/" << sampleRate << ":sample_rate=" << sampleRate
              << ":sample_fmt=s16:channel_layout=" << layoutName;
    check(avfilter_graph_create_filter(&graph_->source, avfilter_get_by_name("abuffer"), "in",
                                       arguments.str().c_str(), nullptr, graph),
          Kind::unsupported, context);
    check(avfilter_graph_create_filter(&graph_->sink, avfilter_get_by_name("abuffersink"), "out",
                                       nullptr, nullptr, graph),
          Kind::unsupported, context);

    std::ostringstream chain;
    chain.precision(17);
    for (double stage : stages(speed)) {
        chain << "atempo=" << stage << ",";
    }
    chain << "aformat=sample_fmts=flt";
    ffmpeg::FilterInOutPtr outputs(avfilter_inout_alloc());
    ffmpeg::FilterInOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) {
        throw std::bad_alloc();
    }
    outputs->name = av_strdup("in");
    outputs->filter_ctx = graph_->source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = graph_->sink;
    AVFilterInOut* rawInputs = inputs.release();
    AVFilterInOut* rawOutputs = outputs.release();
    int parsed =
        avfilter_graph_parse_ptr(graph, chain.str().c_str(), &rawInputs, &rawOutputs, nullptr);
    avfilter_inout_free(&rawInputs);
    avfilter_inout_free(&rawOutputs);
    check(parsed, Kind::unsupported, context);
    check(avfilter_graph_config(graph, nullptr), Kind::unsupported, context);
    graph_->frame = ffmpeg::makeFrame();
}

TempoFilter::~TempoFilter() = default;

void TempoFilter::push(const std::int16_t* interleaved, int frames) {
    if (frames <= 0) {
        return;
    }
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = sampleRate_;
    av_channel_layout_default(&frame->ch_layout, channelCount_);
    frame->nb_samples = frames;
    check(av_frame_get_buffer(frame.get(), 0), Kind::decodingFailed, "Cannot allocate audio");
    std::memcpy(frame->data[0], interleaved,
                static_cast<std::size_t>(frames) * static_cast<std::size_t>(channelCount_) *
                    sizeof(std::int16_t));
    frame->pts = nextPts_;
    nextPts_ += frames;
    check(av_buffersrc_add_frame(graph_->source, frame.get()), Kind::decodingFailed,
          "Cannot change the audio's speed");
}

void TempoFilter::finish() {
    check(av_buffersrc_add_frame(graph_->source, nullptr), Kind::decodingFailed,
          "Cannot change the audio's speed");
}

void TempoFilter::pull(std::vector<float>& interleaved) {
    AVFrame* frame = graph_->frame.get();
    while (true) {
        int received = av_buffersink_get_frame(graph_->sink, frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return;
        }
        check(received, Kind::decodingFailed, "Cannot change the audio's speed");
        const auto* samples = reinterpret_cast<const float*>(frame->data[0]);
        interleaved.insert(interleaved.end(), samples,
                           samples + static_cast<std::size_t>(frame->nb_samples) *
                                         static_cast<std::size_t>(channelCount_));
        av_frame_unref(frame);
    }
}

} // namespace vexel::media::detail
