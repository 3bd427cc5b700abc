#include "platform/media/AssetReader.h"

#include "platform/media/detail/Deinterlacer.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/Scaler.h"
#include "platform/media/detail/StatusMachine.h"
#include "platform/media/detail/TrackInput.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

#include <atomic>
#include <deque>
#include <iterator>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace vexel::media {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

// Unwinds the decoding loop when the caller cancels.
struct ReadingCancelled {};

} // namespace

struct AssetReader::Impl {
    Asset asset;
    AssetTrack track;
    Options options;

    detail::StatusMachine<Status> state;
    std::atomic<bool> cancelRequested{false};

    // Touched only by the consumer thread.
    ffmpeg::InputContextPtr format;
    AVStream* stream = nullptr;
    ffmpeg::CodecContextPtr decoder;
    ffmpeg::PacketPtr packet;
    bool decoderDrained = false;
    // After a seek, the start of the range and the latest video packet time at
    // or before it (stream time base): a packet before that latest one does
    // not show at the start, so nothing needs it unless a later frame refers
    // to it, and the decoder may drop it.
    std::int64_t seekTarget = AV_NOPTS_VALUE;
    std::int64_t latestBeforeTarget = AV_NOPTS_VALUE;
    // Where reading was sought to for the range start (stream time base),
    // until the first frame after it shows that it landed in time; and how
    // often it went further back.
    std::int64_t rangeStartTs = AV_NOPTS_VALUE;
    std::int64_t seekPoint = AV_NOPTS_VALUE;
    bool landingUnchecked = false;
    int seekBacks = 0;
    // The first video time after the range (stream time base, rounded up, so
    // that a packet shows within the range exactly when its time is less).
    std::int64_t rangeEndTs = AV_NOPTS_VALUE;
    // Decode times never exceed presentation times so far: a packet that
    // decodes at or after the range end then shows after it, and so does
    // every packet after it.
    bool decodeTimesTrusted = true;
    // The earliest presentation time at or after the range end among the
    // packets read: once the packets decode at or after it, it is the time of
    // the first frame after the range, whether or not it was decoded.
    std::int64_t firstAfterRange = AV_NOPTS_VALUE;
    bool sendingStopped = false;
    // Video packets that show after the range, not sent yet; packets waiting
    // to be sent, in decode order.
    std::deque<ffmpeg::PacketPtr> held;
    std::deque<ffmpeg::PacketPtr> toSend;

    // Video.
    std::optional<PixelBufferPool> pool;
    ffmpeg::Scaler scaler;
    // Made with the first interlaced picture; a progressive track never has one.
    std::optional<detail::Deinterlacer> deinterlacer;
    bool deinterlacerFinished = false;
    struct Decoded {
        ffmpeg::FramePtr frame;
        MediaTime time;
    };
    // The frame after the one being handed out: it tells how long that shows.
    std::optional<Decoded> ahead;
    std::optional<MediaTime> lastTime;
    bool decodingEnded = false;
    bool rangeEndReached = false;

    // Audio.
    ffmpeg::ResampleContextPtr resampler;
    AVChannelLayout resamplerInputLayout{};
    int resamplerInputRate = 0;
    int resamplerInputFormat = -1;
    AVChannelLayout outputLayout{};
    int outputRate = 0;
    std::optional<MediaTime> audioAnchor;
    std::int64_t samplesDelivered = 0; // sample frames out of the resampler so far

    Impl(Asset a, AssetTrack t, Options o)
        : asset(std::move(a))
        , track(std::move(t))
        , options(std::move(o)) {}

    ~Impl() {
        av_channel_layout_uninit(&resamplerInputLayout);
        av_channel_layout_uninit(&outputLayout);
    }

    // Records the failure unless reading already ended (a cancel wins).
    void fail(const MediaError& failure) {
        state.fail(failure);
        releaseDecoding();
    }

    // Completes reading and lets go of the decoder. A cancel that came first wins.
    void complete() {
        state.complete();
        releaseDecoding();
    }

    void releaseDecoding() {
        held.clear();
        toSend.clear();
        ahead.reset();
        deinterlacer.reset();
        resampler.reset();
        decoder.reset();
        format.reset();
        stream = nullptr;
    }

    bool stillReading() {
        if (cancelRequested.load()) {
            releaseDecoding();
            return false;
        }
        return state.isRunning();
    }

    void open() {
        detail::TrackInput input = detail::openTrackInput(
            asset, track, options.decoderThreads.value_or(0), cancelRequested);
        format = std::move(input.format);
        stream = input.stream;
        decoder = std::move(input.decoder);
        packet = ffmpeg::makePacket();
        if (track.mediaType == MediaType::video && options.timeRange) {
            const MediaTime end = options.timeRange->end();
            rangeEndTs = detail::streamTime(*stream, asset, end, AV_ROUND_UP);
        }

        seekToRangeStart();
    }

    void seekToRangeStart() {
        if (!options.timeRange || !(options.timeRange->start > MediaTime::zero())) {
            return;
        }
        const MediaTime& start = options.timeRange->start;
        rangeStartTs = detail::streamTime(*stream, asset, start, AV_ROUND_DOWN);
        seekTo(rangeStartTs);
        if (track.mediaType == MediaType::video) {
            seekTarget = rangeStartTs;
        }
    }

    void seekTo(std::int64_t point) {
        seekPoint = point;
        landingUnchecked = true;
        detail::seekBefore(*format, *stream, point);
    }

    // Looks at the first frame decoded since a seek: when it starts after the
    // range does, reading goes back further and starts over, and true says so.
    bool soughtAgain(std::int64_t firstTimestamp) {
        if (!landingUnchecked) {
            return false;
        }
        landingUnchecked = false;
        if (firstTimestamp == AV_NOPTS_VALUE ||
            !detail::landedLate(*stream, seekPoint, rangeStartTs, firstTimestamp)) {
            return false;
        }
        seekTo(detail::earlierSeekPoint(*stream, seekPoint, ++seekBacks));
        avcodec_flush_buffers(decoder.get());
        decoderDrained = false;
        held.clear();
        toSend.clear();
        latestBeforeTarget = AV_NOPTS_VALUE;
        decodeTimesTrusted = true;
        firstAfterRange = AV_NOPTS_VALUE;
        sendingStopped = false;
        ahead.reset();
        lastTime.reset();
        decodingEnded = false;
        deinterlacer.reset();
        deinterlacerFinished = false;
        resampler.reset();
        audioAnchor.reset();
        samplesDelivered = 0;
        return true;
    }

    // Lets the decoder drop the packet's frame when it is not a reference
    // and an earlier packet showed later, at or before the range start: such
    // a frame is neither shown nor needed, and seeking decodes less.
    void skipUnneededFrame(const AVPacket& video) {
        bool unneeded = false;
        if (seekTarget != AV_NOPTS_VALUE && video.pts != AV_NOPTS_VALUE &&
            video.pts <= seekTarget) {
            unneeded = latestBeforeTarget != AV_NOPTS_VALUE && video.pts < latestBeforeTarget;
            latestBeforeTarget = std::max(latestBeforeTarget, video.pts);
        }
        // Nor does one that shows after the range.
        if (rangeEndTs != AV_NOPTS_VALUE && video.pts != AV_NOPTS_VALUE &&
            video.pts >= rangeEndTs) {
            unneeded = true;
        }
        decoder->skip_frame = unneeded ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    }

    // Whether every frame that shows within the range has been sent to the
    // decoder, given the video packet just read, which is then not sent: the
    // decoder is drained instead of being fed frames nobody sees, which also
    // spares the wait for a frame-threaded decoder's pipeline to fill. Until
    // the time of the first frame after the range is known, packets are still
    // read (not decoded) to find it.
    bool rangeFullySent(const AVPacket& video) {
        if (rangeEndTs == AV_NOPTS_VALUE || !decodeTimesTrusted) {
            return false;
        }
        if (video.dts == AV_NOPTS_VALUE || video.pts == AV_NOPTS_VALUE || video.pts < video.dts) {
            decodeTimesTrusted = false;
            return false;
        }
        if (video.pts >= rangeEndTs) {
            firstAfterRange = firstAfterRange == AV_NOPTS_VALUE
                                  ? video.pts
                                  : std::min(firstAfterRange, video.pts);
        }
        if (video.dts < rangeEndTs) {
            return false;
        }
        sendingStopped = true;
        return video.dts >= firstAfterRange;
    }

    // Sends one packet; a damaged one is skipped, as players do, and
    // anything else ends reading.
    void send(AVPacket& packet, const std::string& context) {
        skipUnneededFrame(packet);
        int sent = avcodec_send_packet(decoder.get(), &packet);
        av_packet_unref(&packet);
        if (sent < 0 && sent != AVERROR_INVALIDDATA) {
            check(sent, Kind::decodingFailed, context);
        }
    }

    // Ends the input: the frames sent come out, those held back never will.
    void drain(const std::string& context) {
        held.clear();
        check(avcodec_send_packet(decoder.get(), nullptr), Kind::decodingFailed, context);
        decoderDrained = true;
    }

    // Whether the video packet just read shows after the range: it is held
    // back, and sent only when a later packet shows within the range, which
    // may refer to it. Those still held when the range is complete are never
    // decoded.
    bool holdsBack(const AVPacket& video) const {
        return rangeEndTs != AV_NOPTS_VALUE && decodeTimesTrusted && video.pts >= rangeEndTs;
    }

    static ffmpeg::PacketPtr taken(AVPacket& packet) {
        ffmpeg::PacketPtr owned = ffmpeg::makePacket();
        av_packet_move_ref(owned.get(), &packet);
        return owned;
    }

    // The next decoded frame in presentation order; nothing at the end.
    ffmpeg::FramePtr nextDecodedFrame() {
        ffmpeg::FramePtr frame = ffmpeg::makeFrame();
        const std::string context = "Cannot decode \"" + asset.path.string() + "\"";
        while (true) {
            int received = avcodec_receive_frame(decoder.get(), frame.get());
            if (received == 0) {
                return frame;
            }
            if (received == AVERROR_EOF) {
                return nullptr;
            }
            if (received != AVERROR(EAGAIN)) {
                check(received, Kind::decodingFailed, context);
            }
            if (decoderDrained) {
                return nullptr;
            }
            if (cancelRequested.load()) {
                throw ReadingCancelled{};
            }
            // One packet per turn: the decoder may want its output taken
            // before it accepts the next.
            if (!toSend.empty()) {
                ffmpeg::PacketPtr next = std::move(toSend.front());
                toSend.pop_front();
                send(*next, context);
                continue;
            }
            int read = av_read_frame(format.get(), packet.get());
            if (read == AVERROR_EXIT || cancelRequested.load()) {
                av_packet_unref(packet.get());
                throw ReadingCancelled{};
            }
            if (read == AVERROR_EOF) {
                drain(context);
                continue;
            }
            check(read, Kind::decodingFailed, context);
            if (packet->stream_index != stream->index) {
                av_packet_unref(packet.get());
                continue;
            }
            if (track.mediaType == MediaType::video) {
                bool complete = rangeFullySent(*packet);
                if (complete || sendingStopped) {
                    av_packet_unref(packet.get());
                    if (complete) {
                        drain(context);
                    }
                    continue;
                }
                if (holdsBack(*packet)) {
                    held.push_back(taken(*packet));
                    continue;
                }
                if (!held.empty()) {
                    std::move(held.begin(), held.end(), std::back_inserter(toSend));
                    held.clear();
                    toSend.push_back(taken(*packet));
                    continue;
                }
            }
            send(*packet, context);
        }
    }

    MediaTime nominalFrameDuration() const {
        AVRational rate =
            stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
        if (rate.num > 0 && rate.den > 0) {
            return MediaTime(rate.den, rate.num);
        }
        return MediaTime::zero();
    }

    MediaTime presentationTime(const AVFrame& frame) {
        std::int64_t pts = frame.best_effort_timestamp;
        MediaTime time = pts != AV_NOPTS_VALUE ? detail::assetTime(*stream, asset, pts)
                         : lastTime            ? *lastTime + nominalFrameDuration()
                                               : MediaTime::zero();
        lastTime = time;
        return time;
    }

    // The next picture in presentation order, deinterlaced where it was
    // interlaced; nothing at the end.
    ffmpeg::FramePtr nextPicture() {
        while (true) {
            if (deinterlacer) {
                if (ffmpeg::FramePtr whole = deinterlacer->pull()) {
                    return whole;
                }
                if (deinterlacerFinished) {
                    return nullptr;
                }
            }
            ffmpeg::FramePtr frame = nextDecodedFrame();
            if (!frame) {
                if (!deinterlacer) {
                    return nullptr;
                }
                deinterlacer->finish();
                deinterlacerFinished = true;
                continue;
            }
            if (!deinterlacer && detail::Deinterlacer::wanted(track, *frame)) {
                deinterlacer.emplace(track, stream->time_base);
            }
            if (!deinterlacer) {
                return frame;
            }
            deinterlacer->push(*frame);
        }
    }

    // The next frame in presentation order; nothing at the end of the track.
    std::optional<Decoded> decodeNext() {
        if (decodingEnded) {
            return std::nullopt;
        }
        ffmpeg::FramePtr frame = nextPicture();
        if (!frame) {
            decodingEnded = true;
            return std::nullopt;
        }
        MediaTime time = presentationTime(*frame);
        return Decoded{std::move(frame), time};
    }

    // A frame shows until the next one does. The packet's duration counts in
    // decode order, which B-frames reorder, so it is wrong for all but the
    // last frame; that one shows until the track ends.
    MediaTime displayDuration(const Decoded& decoded, const std::optional<Decoded>& next) const {
        // Decoding stopped at the range end: the first frame after the range
        // may not have been decoded, but its time is known.
        if (decoderDrained && firstAfterRange != AV_NOPTS_VALUE) {
            MediaTime after = detail::assetTime(*stream, asset, firstAfterRange);
            if (after > decoded.time && (!next || next->time > after)) {
                return after - decoded.time;
            }
        }
        if (next && next->time > decoded.time) {
            return next->time - decoded.time;
        }
        MediaTime end = track.timeRange.end();
        if (!next && track.timeRange.duration > MediaTime::zero() && end > decoded.time) {
            return end - decoded.time;
        }
        if (decoded.frame->pkt_duration > 0) {
            const AVRational base = stream->time_base;
            return MediaTime(decoded.frame->pkt_duration, base.den).multipliedByRatio(base.num, 1);
        }
        return nominalFrameDuration();
    }

    VideoFrame deliver(const Decoded& decoded, const MediaTime& duration) {
        // Frames the consumer holds come back to the pool; keeping them saves
        // mapping and faulting in fresh ones.
        return VideoFrame{detail::toPixelBuffer(*decoded.frame, track, pool, scaler, 16),
                          decoded.time, duration};
    }

    std::optional<VideoFrame> nextVideoFrame() {
        const std::optional<MediaTimeRange>& range = options.timeRange;
        while (!rangeEndReached) {
            if (cancelRequested.load()) {
                throw ReadingCancelled{};
            }
            std::optional<Decoded> current =
                ahead ? std::exchange(ahead, std::nullopt) : decodeNext();
            if (current && soughtAgain(current->frame->best_effort_timestamp)) {
                continue;
            }
            // Frames come in presentation order: nothing later is wanted.
            if (!current || (range && current->time >= range->end())) {
                rangeEndReached = true;
                break;
            }
            ahead = decodeNext();
            // Only the last frame at or before the range start shows at it.
            if (range && ahead && ahead->time <= range->start) {
                continue;
            }
            return deliver(*current, displayDuration(*current, ahead));
        }
        return std::nullopt;
    }

    void configureResampler(const AVFrame& frame) {
        bool same = resampler && resamplerInputRate == frame.sample_rate &&
                    resamplerInputFormat == frame.format &&
                    av_channel_layout_compare(&resamplerInputLayout, &frame.ch_layout) == 0;
        if (same) {
            return;
        }
        const std::string context = "Cannot convert audio of \"" + asset.path.string() + "\"";
        av_channel_layout_uninit(&resamplerInputLayout);
        AVChannelLayout input{};
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame.ch_layout.nb_channels == 0) {
            av_channel_layout_default(&input, std::max(frame.ch_layout.nb_channels, 1));
        } else {
            check(av_channel_layout_copy(&input, &frame.ch_layout), Kind::decodingFailed, context);
        }
        if (outputRate == 0) {
            outputRate = options.audioSampleRate.value_or(frame.sample_rate);
            if (options.audioChannelCount) {
                av_channel_layout_default(&outputLayout, *options.audioChannelCount);
            } else {
                check(av_channel_layout_copy(&outputLayout, &input), Kind::decodingFailed, context);
            }
        }
        SwrContext* raw = nullptr;
        int made = swr_alloc_set_opts2(&raw, &outputLayout, AV_SAMPLE_FMT_S16, outputRate, &input,
                                       static_cast<AVSampleFormat>(frame.format), frame.sample_rate,
                                       0, nullptr);
        resampler.reset(raw);
        check(made, Kind::unsupported, context);
        check(swr_init(resampler.get()), Kind::unsupported, context);
        // Keep the frame's own layout for comparing the next frames.
        check(av_channel_layout_copy(&resamplerInputLayout, &frame.ch_layout), Kind::decodingFailed,
              context);
        av_channel_layout_uninit(&input);
        resamplerInputRate = frame.sample_rate;
        resamplerInputFormat = frame.format;
    }

    // Resamples `frame` (or drains the resampler when null) into `out`.
    void resample(const AVFrame* frame, std::vector<std::int16_t>& out) {
        const std::string context = "Cannot convert audio of \"" + asset.path.string() + "\"";
        int inputCount = frame ? frame->nb_samples : 0;
        int capacity = swr_get_out_samples(resampler.get(), inputCount);
        check(capacity, Kind::decodingFailed, context);
        int channels = outputLayout.nb_channels;
        out.resize(static_cast<std::size_t>(capacity) * static_cast<std::size_t>(channels));
        std::uint8_t* planes[] = {reinterpret_cast<std::uint8_t*>(out.data())};
        int converted = swr_convert(
            resampler.get(), planes, capacity,
            frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr, inputCount);
        check(converted, Kind::decodingFailed, context);
        out.resize(static_cast<std::size_t>(converted) * static_cast<std::size_t>(channels));
    }

    // Sample index (at the output rate, from the anchor) of a time.
    std::int64_t sampleIndex(const MediaTime& time) const {
        return (time - *audioAnchor).convertScale(outputRate).value();
    }

    // What to deliver of an audio track: the asked range within the track's
    // own span. Decoders hand out the encoder's padding after the end in full
    // frames; the container knows where the sound ends.
    std::optional<MediaTimeRange> audioRange() const {
        std::optional<MediaTimeRange> range = options.timeRange;
        if (track.timeRange.duration > MediaTime::zero()) {
            MediaTime end = track.timeRange.end();
            if (!range) {
                MediaTime start = min(track.timeRange.start, MediaTime::zero());
                range = MediaTimeRange{start, end - start};
            } else if (range->end() > end) {
                range->duration = max(end - range->start, MediaTime::zero());
            }
        }
        return range;
    }

    std::optional<AudioSamples> nextAudioSamples() {
        const std::optional<MediaTimeRange> range = audioRange();
        while (true) {
            if (cancelRequested.load()) {
                throw ReadingCancelled{};
            }
            ffmpeg::FramePtr frame = nextDecodedFrame();
            if (frame && frame->nb_samples <= 0) {
                continue;
            }
            if (!frame && !resampler) {
                return std::nullopt;
            }
            if (frame && !audioAnchor && soughtAgain(frame->best_effort_timestamp)) {
                continue;
            }
            if (frame) {
                configureResampler(*frame);
                if (!audioAnchor) {
                    audioAnchor =
                        frame->best_effort_timestamp != AV_NOPTS_VALUE
                            ? detail::assetTime(*stream, asset, frame->best_effort_timestamp)
                            : MediaTime::zero();
                }
            }
            AudioSamples chunk;
            chunk.sampleRate = outputRate;
            chunk.channelCount = outputLayout.nb_channels;
            resample(frame.get(), chunk.samples);
            std::int64_t first = samplesDelivered;
            std::int64_t count = static_cast<std::int64_t>(chunk.frameCount());
            samplesDelivered += count;
            std::int64_t keepFrom = first;
            std::int64_t keepTo = first + count;
            if (range) {
                keepFrom = std::max(keepFrom, sampleIndex(range->start));
                keepTo = std::min(keepTo, sampleIndex(range->end()));
                if (first >= sampleIndex(range->end())) {
                    return std::nullopt;
                }
            }
            if (keepTo > keepFrom) {
                auto channels = static_cast<std::size_t>(chunk.channelCount);
                auto from = static_cast<std::size_t>(keepFrom - first) * channels;
                auto to = static_cast<std::size_t>(keepTo - first) * channels;
                chunk.samples = std::vector<std::int16_t>(chunk.samples.begin() + from,
                                                          chunk.samples.begin() + to);
                chunk.time = *audioAnchor + MediaTime(keepFrom, outputRate);
                return chunk;
            }
            if (!frame) {
                return std::nullopt;
            }
        }
    }
};

AssetReader::AssetReader(Asset asset, AssetTrack track)
    : AssetReader(std::move(asset), std::move(track), Options{}) {}

AssetReader::AssetReader(Asset asset, AssetTrack track, Options options) {
    if (track.mediaType != MediaType::video && track.mediaType != MediaType::audio) {
        throw MediaError(MediaError::Kind::noSuchTrack, "Track " + std::to_string(track.trackID) +
                                                            " of \"" + asset.path.string() +
                                                            "\" is neither video nor audio");
    }
    auto inRange = [](const std::optional<int>& value, int low, int high) {
        return !value || (low <= *value && *value <= high);
    };
    if (!inRange(options.audioSampleRate, 1000, 768000) ||
        !inRange(options.audioChannelCount, 1, 16)) {
        throw MediaError(MediaError::Kind::invalidArgument, "Audio output format out of range");
    }
    if (!inRange(options.decoderThreads, 1, 64)) {
        throw MediaError(MediaError::Kind::invalidArgument, "Decoder threads out of range");
    }
    impl_ = std::make_unique<Impl>(std::move(asset), std::move(track), std::move(options));
}

AssetReader::~AssetReader() = default;

const AssetTrack& AssetReader::track() const {
    return impl_->track;
}

bool AssetReader::startReading() {
    if (!impl_->state.start()) {
        return false;
    }
    try {
        impl_->open();
    } catch (const MediaError& failure) {
        impl_->fail(failure);
        return false;
    } catch (const std::exception& failure) {
        impl_->fail(MediaError(MediaError::Kind::cannotOpen, failure.what()));
        return false;
    }
    return impl_->stillReading();
}

// One step of reading for either kind of track: the end of the track completes
// the reader, a cancellation releases the decoder, any failure becomes its error.
template <typename Impl, typename Next>
auto readNext(Impl& impl, Next next) -> decltype(next(impl)) {
    try {
        auto item = next(impl);
        if (!item) {
            impl.complete();
        }
        return item;
    } catch (const ReadingCancelled&) {
        impl.releaseDecoding();
    } catch (const MediaError& failure) {
        impl.fail(failure);
    } catch (const std::exception& failure) {
        impl.fail(MediaError(MediaError::Kind::decodingFailed, failure.what()));
    }
    return std::nullopt;
}

std::optional<VideoFrame> AssetReader::copyNextVideoFrame() {
    if (impl_->track.mediaType != MediaType::video) {
        throw std::logic_error("copyNextVideoFrame on a track that is not video");
    }
    if (!impl_->stillReading()) {
        return std::nullopt;
    }
    return readNext(*impl_, [](auto& impl) { return impl.nextVideoFrame(); });
}

std::optional<AudioSamples> AssetReader::copyNextAudioSamples() {
    if (impl_->track.mediaType != MediaType::audio) {
        throw std::logic_error("copyNextAudioSamples on a track that is not audio");
    }
    if (!impl_->stillReading()) {
        return std::nullopt;
    }
    return readNext(*impl_, [](auto& impl) { return impl.nextAudioSamples(); });
}

void AssetReader::cancelReading() {
    impl_->cancelRequested.store(true);
    impl_->state.cancel();
}

AssetReader::Status AssetReader::status() const {
    return impl_->state.status();
}

std::optional<MediaError> AssetReader::error() const {
    return impl_->state.error();
}

} // namespace vexel::media
