#pragma once

// Turns interlaced pictures (two fields of alternate lines, taken a field's
// time apart) into whole frames with libavfilter's bwdif, one frame out for
// each frame in, so that timing stays the decoder's. Internal to the media
// layer.

#include "platform/media/AssetTrack.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/FilterGraph.h"

#include <deque>

namespace vexel::media::detail {

class Deinterlacer {
public:
    // Whether a decoded picture of `track` is to be deinterlaced: the track
    // says it is interlaced, or the picture does. Progressive pictures never
    // pass through a filter.
    static bool wanted(const AssetTrack& track, const AVFrame& picture);

    // The filter reads each picture against the one before and the one
    // after it; `timeBase` is that of the pictures' timestamps.
    Deinterlacer(const AssetTrack& track, AVRational timeBase);
    ~Deinterlacer();

    Deinterlacer(const Deinterlacer&) = delete;
    Deinterlacer& operator=(const Deinterlacer&) = delete;

    // Takes a picture; the one before it comes out. A picture of another size
    // or format first lets out what the filter still holds. Throws MediaError.
    void push(const AVFrame& picture);
    // No more pictures: the last comes out.
    void finish();
    // The next whole frame, with its picture's timestamp; null when none is
    // ready. Throws MediaError.
    ffmpeg::FramePtr pull();

    // `picture` deinterlaced as it is between `before` and `after` (either
    // may be null at a start or end), as a stream through the filter gives
    // it. Throws MediaError.
    static ffmpeg::FramePtr single(const AssetTrack& track, const AVFrame* before,
                                   const AVFrame& picture, const AVFrame* after);

private:
    void build(const AVFrame& picture);
    void collect();
    void endGraph();

    FieldOrder fieldOrder_;
    AVRational timeBase_;
    ffmpeg::FilterGraphPtr graph_;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    std::deque<ffmpeg::FramePtr> ready_;
};

} // namespace vexel::media::detail
