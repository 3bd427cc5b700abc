#include "platform/media/WriterCore.h"

namespace vexel::media {

void WriterCore::fail(const MediaError& failure) {
    {
        // The error is in place before anyone can see the failed status.
        std::lock_guard lock(errorMutex);
        Status expected = status.load();
        do {
            if (expected != Status::unknown && expected != Status::writing) {
                return;
            }
        } while (!status.compare_exchange_weak(expected, Status::failed));
        error = failure;
    }
    if (stopInputs) {
        stopInputs();
    }
}

void WriterCore::writePacket(AVPacket& packet, AVStream& stream, AVRational encoderTimeBase) {
    av_packet_rescale_ts(&packet, encoderTimeBase, stream.time_base);
    packet.stream_index = stream.index;
    std::lock_guard lock(muxMutex);
    ffmpeg::check(av_interleaved_write_frame(format.get(), &packet),
                  MediaError::Kind::writingFailed, "Cannot write \"" + path.string() + "\"");
}

} // namespace vexel::media
