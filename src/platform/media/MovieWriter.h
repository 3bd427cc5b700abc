#pragma once

#include "platform/media/AudioSamples.h"
#include "platform/media/MediaError.h"
#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/WriterSettings.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace vexel::media {

class MovieWriter;

// Takes the frames of one video track. Each input encodes on a thread of its
// own; a short queue in front of it stands for "ready for more media data".
class VideoWriterInput {
public:
    // Frames the queue holds in front of the encoder.
    static constexpr std::size_t queueLength = 3;

    ~VideoWriterInput();

    const VideoSettings& settings() const;

    // True while the writer is writing, the input is not finished and its queue
    // has room.
    bool isReadyForMoreMediaData() const;
    // Waits until the input is ready, the writer stops or `timeout` passes;
    // returns whether it is ready.
    bool waitUntilReadyForMoreMediaData(std::chrono::milliseconds timeout) const;
    // Hands a BGRA frame over (it must not be changed afterwards), waiting for
    // room in the queue. Times must increase. False when the writer is not
    // writing or the input is finished; a frame of the wrong size fails the
    // writer.
    bool append(const PixelBuffer& buffer, const MediaTime& presentationTime);
    // No more frames: the encoder is flushed. Idempotent.
    void markAsFinished();

    struct Impl;

private:
    friend class MovieWriter;
    explicit VideoWriterInput(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Takes the sound of one audio track, as VideoWriterInput takes frames. The
// samples follow on from the first run's time without gaps.
class AudioWriterInput {
public:
    ~AudioWriterInput();

    const AudioSettings& settings() const;

    bool isReadyForMoreMediaData() const;
    bool waitUntilReadyForMoreMediaData(std::chrono::milliseconds timeout) const;
    bool append(const AudioSamples& samples);
    // Float samples (a composition's mix), full scale at 1.0.
    bool append(const FloatAudioSamples& samples);
    void markAsFinished();

    struct Impl;

private:
    friend class MovieWriter;
    explicit AudioWriterInput(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Encodes and muxes a movie file. Add inputs, startWriting, feed the inputs
// (from one thread each, at the same time if need be), finishWriting.
// A failed writer leaves its unfinished file for the caller to remove;
// cancelWriting removes it. status and error may be read from any thread.
class MovieWriter {
public:
    // Numbered as the export's messages report them.
    enum class Status { unknown = 0, writing = 1, completed = 2, failed = 3, cancelled = 4 };

    MovieWriter(std::filesystem::path path, FileType fileType, EncoderTuning tuning = {});
    // Stops the encoding threads; an unfinished file stays where it is.
    ~MovieWriter();

    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    const std::filesystem::path& outputPath() const;

    // Before startWriting only; tracks are written in the order they are added.
    // Throws MediaError (invalidState, invalidArgument).
    VideoWriterInput& addVideoInput(const VideoSettings& settings);
    AudioWriterInput& addAudioInput(const AudioSettings& settings);

    // Creates the file (refusing to replace an existing one) and opens the
    // encoders. False, with status failed and the error set, when that fails.
    bool startWriting();
    // Media times map to file time minus this; zero unless set. Before the
    // first append.
    void startSession(const MediaTime& sourceTime);
    // Finishes every input, flushes the encoders and completes the file.
    // Blocks; true when the status is completed.
    bool finishWriting();
    // Stops at once and removes the file. Idempotent.
    void cancelWriting();

    Status status() const;
    std::optional<MediaError> error() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vexel::media
