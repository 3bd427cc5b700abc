#pragma once

// Reads one composition video track ahead of the composing. One thread
// decodes the frames the track shows into a bounded queue; another opens and
// primes the decoder of the next run of frames as soon as the composing comes
// within the read-ahead window of it, so that neither a cut nor a track coming
// in later waits for a file to open and a decoder to fill while the other
// tracks decode on. At most two decoders per track are open at once. Internal
// to the media layer.

#include "platform/media/CompositionTrack.h"
#include "platform/media/InputQueue.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/detail/FrameGrid.h"
#include "platform/media/detail/SourceRun.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vexel::media::detail {

class SourceRunReader;

class TrackFeeder {
public:
    // The frame the composing has reached; shared by a reader's feeders.
    class Progress {
    public:
        explicit Progress(std::int64_t frame)
            : frame_(frame) {}
        void advance(std::int64_t frame);
        // Waits until the composing has reached `frame`; false once stopped.
        bool waitUntil(std::int64_t frame);
        void stop();

    private:
        std::mutex mutex_;
        std::condition_variable changed_;
        std::int64_t frame_;
        bool stopped_ = false;
    };

    // Runs the work of a feeder's thread, turning what it throws into the
    // reader's failure.
    using Guard = std::function<void(const std::function<void()>& work)>;

    // `track` and `progress` must outlive the feeder. Keeps `decodedAhead`
    // frames ready; opens a run's decoder `primeAhead` frames before it starts,
    // with `decoderThreads` (AssetReader::Options).
    TrackFeeder(const CompositionTrack& track, const FrameGrid& grid, Progress& progress,
                std::size_t decodedAhead, std::int64_t primeAhead,
                std::optional<int> decoderThreads = std::nullopt);
    // Stops and joins.
    ~TrackFeeder();

    TrackFeeder(const TrackFeeder&) = delete;
    TrackFeeder& operator=(const TrackFeeder&) = delete;

    int trackID() const { return track_.trackID(); }

    void start(const Guard& guard);

    // Whether the track shows media at frame n; then `next` gives its frame.
    bool showsMediaAt(std::int64_t n) const;
    // The frame at frame n, which must be the next frame showing media: null
    // where its media gave none. Nothing once stopped.
    std::optional<PixelBuffer> next(std::int64_t n);

    // Wakes and ends the threads' work, from any thread.
    void stop();
    void join();

private:
    struct Primed {
        SourceRun run;
        std::shared_ptr<SourceRunReader> reader;
        std::exception_ptr error;
    };
    struct Decoded {
        std::int64_t frame;
        PixelBuffer buffer;
    };

    void openRuns();
    void decodeRuns();

    const CompositionTrack& track_;
    FrameGrid grid_;
    Progress& progress_;
    std::int64_t primeAhead_;
    std::optional<int> decoderThreads_;
    InputQueue<Decoded> decoded_;

    std::mutex mutex_;
    std::condition_variable changed_;
    // The next run, opened; taken by the decoding thread.
    std::optional<Primed> primed_;
    bool openingEnded_ = false;
    bool stopped_ = false;
    // What a stop must cancel.
    std::vector<std::weak_ptr<SourceRunReader>> readers_;

    std::thread opener_;
    std::thread decoder_;
};

} // namespace vexel::media::detail
