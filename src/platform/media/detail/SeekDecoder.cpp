#include "platform/media/detail/SeekDecoder.h"

#include "platform/media/MediaError.h"
#include "platform/media/detail/Deinterlacer.h"

#include <algorithm>
#include <utility>

namespace vexel::media::detail {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

// Decoding on through this many packets past the place reached costs about
// what going back to the key frame would: a little past it still decodes on,
// since starting over also refills the decoder's frame threads.
constexpr std::int64_t kDecodeOnWithin = 8;
// Without an index of the file: how far decoding on goes, in seconds.
constexpr double kDecodeOnSeconds = 1.0;
// Without an index: what a frame is guessed to cost from its key frame.
constexpr std::int64_t kUnknownCost = 30;
// Released frames kept for reuse: the one handed out and the one after.
constexpr std::size_t kIdleBuffers = 2;

} // namespace

SeekDecoder::SeekDecoder(Asset asset, AssetTrack track, int threads)
    : asset_(std::move(asset))
    , track_(std::move(track))
    , threads_(threads) {}

SeekDecoder::~SeekDecoder() = default;

void SeekDecoder::open() {
    input_ = openTrackInput(asset_, track_, threads_, cancelled_);
    packet_ = ffmpeg::makePacket();
    // The index stands at decode times, which run behind the times frames
    // show at by the reordering of B-frames: the first frame shows at the
    // stream's start, its entry stands earlier.
    const AVIndexEntry* first = avformat_index_get_entry(input_.stream, 0);
    if (first && input_.stream->start_time != AV_NOPTS_VALUE) {
        reorderDelay_ = std::max<std::int64_t>(input_.stream->start_time - first->timestamp, 0);
    }
}

std::int64_t SeekDecoder::streamTime(const MediaTime& time) const {
    // Rounded down: a frame starts at or before the time exactly when its
    // whole-tick time is at or before the rounded one.
    return detail::streamTime(*input_.stream, asset_, time, AV_ROUND_DOWN);
}

std::int64_t SeekDecoder::packetIndex(std::int64_t timestamp, bool keyFrame) const {
    return av_index_search_timestamp(input_.stream, timestamp,
                                     AVSEEK_FLAG_BACKWARD | (keyFrame ? 0 : AVSEEK_FLAG_ANY));
}

std::int64_t SeekDecoder::indexShowing(std::int64_t target, bool keyFrame) const {
    return packetIndex(target - reorderDelay_, keyFrame);
}

bool SeekDecoder::decodesOnTo(std::int64_t target) const {
    if (!placed_ || (current_ && current_->pts > target)) {
        return false;
    }
    // Frames before the latest one sent for an earlier frame may have been
    // dropped; any frame from that one on is still to come.
    if (latestSent_ != AV_NOPTS_VALUE && target < latestSent_) {
        return false;
    }
    std::int64_t key = indexShowing(target, true);
    // Nothing out since the last key frame sought: what comes out first is
    // that key frame, which must not lie after the frame asked for (a seek
    // given up before its first frame still moved the decoder there).
    if (!current_ && (key < 0 || key < placedKeyIndex_)) {
        return false;
    }
    if (decoderEnded_) {
        return true;
    }
    if (key < 0 || readIndex_ < 0) {
        auto within = static_cast<std::int64_t>(kDecodeOnSeconds * input_.stream->time_base.den /
                                                std::max(1, input_.stream->time_base.num));
        return current_ && target - current_->pts <= within;
    }
    return readIndex_ + kDecodeOnWithin >= key;
}

std::optional<std::int64_t> SeekDecoder::costTo(const MediaTime& sourceTime) const {
    // Opening here would touch the file between the packets of a decode under
    // way, and a file that cannot be opened must not look free.
    if (!input_.format) {
        return std::nullopt;
    }
    std::int64_t target = streamTime(sourceTime);
    std::int64_t at = indexShowing(target, false);
    if (decodesOnTo(target)) {
        return at < 0 ? 0 : std::max<std::int64_t>(at - readIndex_, 0);
    }
    std::int64_t key = indexShowing(target, true);
    if (at < 0 || key < 0) {
        return kUnknownCost;
    }
    return at - key + 1;
}

void SeekDecoder::seekTo(std::int64_t target, std::optional<std::int64_t> point) {
    ++keyFrameSeeks_;
    if (!point) {
        seekBacks_ = 0;
    }
    seekPoint_ = point.value_or(target);
    landingUnchecked_ = true;
    seekBefore(*input_.format, *input_.stream, seekPoint_);
    avcodec_flush_buffers(input_.decoder.get());
    placed_ = true;
    readEnded_ = false;
    decoderEnded_ = false;
    placedKeyIndex_ = indexShowing(seekPoint_, true);
    readIndex_ = std::max<std::int64_t>(placedKeyIndex_ - 1, -1);
    latestSent_ = AV_NOPTS_VALUE;
    current_.reset();
    next_.reset();
    previous_.reset();
    // Times made up for frames without one start over from here, so the frame
    // converted last may share its time with another picture.
    convertedPts_ = AV_NOPTS_VALUE;
}

bool SeekDecoder::step(std::int64_t target) {
    const std::string context = "Cannot decode \"" + asset_.path.string() + "\"";
    AVCodecContext* decoder = input_.decoder.get();
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    int received = avcodec_receive_frame(decoder, frame.get());
    if (received == 0) {
        ++framesDecoded_;
        std::int64_t pts = frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE) {
            // Frames come in order: one tick after the last keeps them so.
            pts = next_ ? next_->pts + 1 : current_ ? current_->pts + 1 : 0;
        }
        Decoded decoded{std::move(frame), pts};
        if (!current_) {
            current_ = std::move(decoded);
        } else {
            next_ = std::move(decoded);
        }
        return true;
    }
    if (received == AVERROR_EOF) {
        return false;
    }
    if (received != AVERROR(EAGAIN)) {
        check(received, Kind::decodingFailed, context);
    }
    if (readEnded_) {
        // Drained and still nothing: the decoder is done.
        return false;
    }
    AVPacket& packet = *packet_;
    while (true) {
        int read = av_read_frame(input_.format.get(), &packet);
        if (cancelled_.load()) {
            av_packet_unref(&packet);
            return true;
        }
        if (read == AVERROR_EOF) {
            readEnded_ = true;
            check(avcodec_send_packet(decoder, nullptr), Kind::decodingFailed, context);
            return true;
        }
        check(read, Kind::decodingFailed, context);
        if (packet.stream_index != input_.stream->index) {
            av_packet_unref(&packet);
            continue;
        }
        readIndex_ = packet.dts != AV_NOPTS_VALUE ? packetIndex(packet.dts, false) : readIndex_ + 1;
        // A frame that an earlier-decoding one showing later (and still at or
        // before the target) follows on screen is never shown: unless other
        // frames refer to it, the decoder may drop it.
        bool unneeded = false;
        if (packet.pts != AV_NOPTS_VALUE && packet.pts <= target) {
            unneeded = latestSent_ != AV_NOPTS_VALUE && packet.pts < latestSent_;
            latestSent_ = std::max(latestSent_, packet.pts);
        }
        decoder->skip_frame = unneeded ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        int sent = avcodec_send_packet(decoder, &packet);
        av_packet_unref(&packet);
        // A damaged packet is skipped, as players do.
        if (sent < 0 && sent != AVERROR_INVALIDDATA) {
            check(sent, Kind::decodingFailed, context);
        }
        return true;
    }
}

bool SeekDecoder::complete(std::int64_t target) const {
    if (next_ || decoderEnded_) {
        return true;
    }
    return current_->pts >= target && !Deinterlacer::wanted(track_, *current_->frame);
}

PixelBuffer SeekDecoder::converted() {
    const Decoded& decoded = *current_;
    if (decoded.pts != convertedPts_ || convertedBuffer_.isNull()) {
        if (Deinterlacer::wanted(track_, *decoded.frame)) {
            ffmpeg::FramePtr whole =
                Deinterlacer::single(track_, previous_ ? previous_->frame.get() : nullptr,
                                     *decoded.frame, next_ ? next_->frame.get() : nullptr);
            convertedBuffer_ = toPixelBuffer(*whole, track_, pool_, scaler_, kIdleBuffers);
        } else {
            convertedBuffer_ = toPixelBuffer(*decoded.frame, track_, pool_, scaler_, kIdleBuffers);
        }
        convertedPts_ = decoded.pts;
    }
    return convertedBuffer_;
}

std::optional<PixelBuffer> SeekDecoder::frameAt(const MediaTime& sourceTime,
                                                const Abandon& abandon) {
    if (cancelled_.load()) {
        return std::nullopt;
    }
    if (!input_.format) {
        open();
    }
    const std::int64_t target = streamTime(sourceTime);
    if (!decodesOnTo(target)) {
        seekTo(target);
    }
    while (!cancelled_.load()) {
        if (current_ && landingUnchecked_) {
            landingUnchecked_ = false;
            if (landedLate(*input_.stream, seekPoint_, target, current_->pts)) {
                seekTo(target, earlierSeekPoint(*input_.stream, seekPoint_, ++seekBacks_));
                continue;
            }
        }
        if (current_ && next_ && next_->pts <= target) {
            previous_ = std::move(current_);
            current_ = std::move(next_);
            next_.reset();
            continue;
        }
        if (current_) {
            // Its own frame, the first frame when it starts later, or the last
            // one before a later frame or the end.
            if (complete(target)) {
                return converted();
            }
        } else if (decoderEnded_) {
            return PixelBuffer{};
        }
        if (abandon && abandon()) {
            return std::nullopt;
        }
        if (!step(target)) {
            decoderEnded_ = true;
        }
    }
    return std::nullopt;
}

} // namespace vexel::media::detail
