#include "platform/media/detail/SourceRunReader.h"

namespace vexel::media::detail {

namespace {

AssetReader::Options from(const SourceRun& run, std::optional<int> decoderThreads) {
    // To the run's last frame, not beyond: the decoder then stops there
    // instead of decoding frames nobody shows.
    return {.timeRange = MediaTimeRange{run.sourceStart, run.sourceEnd - run.sourceStart},
            .decoderThreads = decoderThreads};
}

} // namespace

SourceRunReader::SourceRunReader(const SourceRun& run, std::optional<int> decoderThreads)
    : reader_(*run.asset, run.sourceTrack, from(run, decoderThreads)) {}

void SourceRunReader::cancel() {
    reader_.cancelReading();
}

void SourceRunReader::prime() {
    primed_ = true;
    if (reader_.startReading()) {
        current_ = reader_.copyNextVideoFrame();
        if (current_) {
            next_ = reader_.copyNextVideoFrame();
        }
    }
    if (reader_.status() == AssetReader::Status::failed) {
        throw reader_.error().value_or(
            MediaError(MediaError::Kind::decodingFailed, "Cannot read video"));
    }
}

PixelBuffer SourceRunReader::frameAt(const MediaTime& sourceTime) {
    if (!primed_) {
        prime();
    }
    while (next_ && next_->time <= sourceTime) {
        current_ = std::move(next_);
        next_ = reader_.copyNextVideoFrame();
    }
    if (reader_.status() == AssetReader::Status::failed) {
        throw *reader_.error();
    }
    return current_ ? current_->buffer : PixelBuffer{};
}

} // namespace vexel::media::detail
