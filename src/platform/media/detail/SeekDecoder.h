#pragma once

// Decodes single frames of one video track of a file for a series of seeks,
// keeping its place between them: a frame in the group of pictures it has
// reached, or shortly after, decodes on from there instead of from the key
// frame before it. Frames that neither show at the frame asked for nor serve
// as references are dropped by the decoder, and only the frame handed out is
// converted. Internal to the media layer.

#include "platform/media/Asset.h"
#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/Scaler.h"
#include "platform/media/detail/TrackInput.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace vexel::media::detail {

class SeekDecoder {
public:
    // Asked between packets: true gives up the frame under way, keeping the
    // place reached.
    using Abandon = std::function<bool()>;

    // `threads` decode (0: one per core). The file opens with the first frame
    // asked for.
    SeekDecoder(Asset asset, AssetTrack track, int threads);
    ~SeekDecoder();

    SeekDecoder(const SeekDecoder&) = delete;
    SeekDecoder& operator=(const SeekDecoder&) = delete;

    // The frame showing at `sourceTime`: the last that starts at or before it
    // (the first when none does); null when the track has no frame. Nothing
    // when abandoned or cancelled. Throws MediaError.
    std::optional<PixelBuffer> frameAt(const MediaTime& sourceTime, const Abandon& abandon);

    // About how many packets reaching the frame at `sourceTime` decodes, from
    // the place reached or from the key frame before it, whichever it would
    // start from; nothing before the file is open.
    std::optional<std::int64_t> costTo(const MediaTime& sourceTime) const;

    // Frames that came out of the decoder so far.
    std::int64_t framesDecoded() const { return framesDecoded_.load(); }
    // Times it went back to a key frame.
    std::int64_t keyFrameSeeks() const { return keyFrameSeeks_.load(); }

    // Ends a decode under way and every later one; from any thread.
    void cancel() { cancelled_.store(true); }

private:
    struct Decoded {
        ffmpeg::FramePtr frame;
        std::int64_t pts = 0;
    };

    void open();
    std::int64_t streamTime(const MediaTime& time) const;
    // The index entry at or before a decode time; with `keyFrame`, of a key
    // frame.
    std::int64_t packetIndex(std::int64_t timestamp, bool keyFrame) const;
    // The same for the packet showing at a presentation time: the key frame
    // with `keyFrame` is the one a seek to that time starts from.
    std::int64_t indexShowing(std::int64_t target, bool keyFrame) const;
    bool decodesOnTo(std::int64_t target) const;
    // Seeks to the key frame before `point` (`target` when absent), for the
    // frame showing at `target`.
    void seekTo(std::int64_t target, std::optional<std::int64_t> point = std::nullopt);
    // One step towards `target`: a frame out of the decoder, or a packet into
    // it. False once the decoder has given its last frame.
    bool step(std::int64_t target);
    // Whether the current frame can be handed out: an interlaced one waits
    // for the frame after it.
    bool complete(std::int64_t target) const;
    PixelBuffer converted();

    Asset asset_;
    AssetTrack track_;
    int threads_;
    std::atomic<bool> cancelled_{false};
    TrackInput input_;
    ffmpeg::PacketPtr packet_;
    ffmpeg::Scaler scaler_;
    std::optional<PixelBufferPool> pool_;

    // How far decode times run behind presentation times.
    std::int64_t reorderDelay_ = 0;
    // The place reached: a key frame was sought since the decoder last
    // started over.
    bool placed_ = false;
    // The index entry of the key frame sought last.
    std::int64_t placedKeyIndex_ = -1;
    // Where the last seek went, until the first frame after it shows that it
    // landed in time; and how often it went further back for one frame.
    std::int64_t seekPoint_ = 0;
    bool landingUnchecked_ = false;
    int seekBacks_ = 0;
    bool readEnded_ = false;
    bool decoderEnded_ = false;
    // The index entry of the last packet read.
    std::int64_t readIndex_ = -1;
    // The latest time of a packet sent that shows at or before the frame
    // asked for: an earlier one not a reference is never needed again.
    std::int64_t latestSent_ = AV_NOPTS_VALUE;
    // The last frame out of the decoder, and the one after it; and the one
    // before it, which an interlaced picture is deinterlaced against.
    std::optional<Decoded> current_;
    std::optional<Decoded> next_;
    std::optional<Decoded> previous_;
    // The last frame handed out, kept converted.
    std::int64_t convertedPts_ = AV_NOPTS_VALUE;
    PixelBuffer convertedBuffer_;
    // Read from other threads.
    std::atomic<std::int64_t> framesDecoded_{0};
    std::atomic<std::int64_t> keyFrameSeeks_{0};
};

} // namespace vexel::media::detail
