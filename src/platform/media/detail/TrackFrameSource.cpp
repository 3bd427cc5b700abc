#include "platform/media/detail/TrackFrameSource.h"

namespace vexel::media::detail {

TrackFrameSource::TrackFrameSource(const CompositionTrack& track)
    : track_(track) {}

void TrackFrameSource::cancel() {
    cancelled_.store(true);
}

PixelBuffer TrackFrameSource::frameAt(const MediaTime& time) {
    const CompositionTrackSegment* segment = track_.segment(time);
    const AssetTrack* sourceTrack = segment ? segment->sourceTrack() : nullptr;
    if (!sourceTrack) {
        return {};
    }
    MediaTime source = segment->sourceTime(time);
    MediaTime mediaEnd = min(segment->source.end(), sourceTrack->timeRange.end());
    if (!(source < mediaEnd)) {
        return {};
    }
    if (segment != segment_ || !current_ || source < current_->time) {
        segment_ = segment;
        current_.reset();
        next_.reset();
        reader_ = std::make_unique<AssetReader>(
            *segment->asset, *sourceTrack,
            AssetReader::Options{.timeRange = MediaTimeRange{source, mediaEnd - source}});
        if (!reader_->startReading()) {
            throw reader_->error().value_or(
                MediaError(MediaError::Kind::decodingFailed, "Cannot read video"));
        }
        current_ = reader_->copyNextVideoFrame();
        if (current_) {
            next_ = reader_->copyNextVideoFrame();
        }
    }
    while (next_ && next_->time <= source) {
        if (cancelled_.load()) {
            reader_->cancelReading();
            return {};
        }
        current_ = std::move(next_);
        next_ = reader_->copyNextVideoFrame();
    }
    if (reader_->status() == AssetReader::Status::failed) {
        throw *reader_->error();
    }
    return current_ ? current_->buffer : PixelBuffer{};
}

} // namespace vexel::media::detail
