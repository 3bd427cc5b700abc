#pragma once

// RAII holders for libavfilter's graphs. Internal to the media layer.

extern "C" {
#include <libavfilter/avfilter.h>
}

#include <memory>

namespace vexel::media::ffmpeg {

struct FilterGraphDelete {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct FilterInOutDelete {
    void operator()(AVFilterInOut* inOut) const { avfilter_inout_free(&inOut); }
};

using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDelete>;
using FilterInOutPtr = std::unique_ptr<AVFilterInOut, FilterInOutDelete>;

} // namespace vexel::media::ffmpeg
