#include "platform/media/detail/WriterCore.h"

namespace vexel::media {

void WriterCore::fail(const MediaError& failure) {
    if (state.fail(failure) && stopInputs) {
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
