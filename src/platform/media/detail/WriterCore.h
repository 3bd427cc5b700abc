#pragma once

// What a movie writer's inputs share: status, first error and the muxer.
// Internal to the media layer.

#include "platform/media/MovieWriter.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/StatusMachine.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace vexel::media {

struct WriterCore {
    using Status = MovieWriter::Status;

    std::filesystem::path path;
    FileType fileType = FileType::mp4;
    detail::StatusMachine<Status> state;
    MediaTime sessionStart;

    // av_interleaved_write_frame is called by every input's thread.
    std::mutex muxMutex;
    ffmpeg::OutputContextPtr format;

    // Wakes and empties every input queue once the writer stops.
    std::function<void()> stopInputs;

    bool isWriting() const { return state.isRunning(); }

    // Keeps the first failure and stops the writer unless it already ended.
    void fail(const MediaError& failure);

    // Rescales a packet from the encoder's time base and hands it to the muxer.
    void writePacket(AVPacket& packet, AVStream& stream, AVRational encoderTimeBase);
};

} // namespace vexel::media
