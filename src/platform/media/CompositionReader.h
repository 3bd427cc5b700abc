#pragma once

#include "platform/media/AudioMix.h"
#include "platform/media/AudioSamples.h"
#include "platform/media/Composition.h"
#include "platform/media/MediaError.h"
#include "platform/media/ReadingStatus.h"
#include "platform/media/VideoComposition.h"
#include "platform/media/VideoFrame.h"

#include <memory>
#include <optional>

namespace vexel::media {

// Reads a composition as finished media: its video as composed frames at
// n x frame duration while n x frame duration < the end (each frame's time is
// its presentation time), its sound as the audio mix at 44100 Hz stereo float.
//
// Sources are decoded ahead on worker threads and several frames composed at
// once, delivered in order; a fixed number of frames is in flight, whatever
// the length. The video and the audio output may be pulled from two threads
// at once; cancelReading, status and error from any thread.
class CompositionReader {
public:
    using Status = ReadingStatus;

    struct Options {
        // Only this part of the composition (the video from the first frame
        // time in it, the audio cut to the sample); all of it by default.
        std::optional<MediaTimeRange> timeRange{};
        // Composing threads; 0 for one per core. Each composes one frame at a
        // time, and two more finished frames may wait to be taken: at most
        // threads + 2 frames are in flight.
        int threads = 0;
        // Threads of each source's decoder; one per core when absent.
        std::optional<int> decoderThreads{};
    };

    explicit CompositionReader(Composition composition);
    CompositionReader(Composition composition, Options options);
    // Stops every thread; an unfinished read is cancelled.
    ~CompositionReader();

    CompositionReader(const CompositionReader&) = delete;
    CompositionReader& operator=(const CompositionReader&) = delete;

    // Before startReading; throw MediaError (invalidState) after it.
    void addVideoOutput(VideoComposition videoComposition);
    void addAudioOutput(std::optional<AudioMix> audioMix);

    // Starts the threads. False when reading cannot start (status failed,
    // error set), when it was cancelled or has already started.
    bool startReading();

    // The next composed frame; nothing once the video has ended or reading
    // failed or was cancelled (see status). A compositor's error fails the
    // reader with that error (kind compositionFailed).
    std::optional<VideoFrame> copyNextVideoFrame();
    // The next run of mixed sound, as above.
    std::optional<FloatAudioSamples> copyNextAudioSamples();

    // Idempotent.
    void cancelReading();

    Status status() const;
    std::optional<MediaError> error() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vexel::media
