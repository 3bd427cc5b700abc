#include "platform/media/detail/FFmpeg.h"

#include <sys/stat.h>

#include <new>

namespace vexel::media::ffmpeg {

std::string errorText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, buffer, sizeof buffer) < 0) {
        return "FFmpeg error " + std::to_string(code);
    }
    return buffer;
}

int check(int code, MediaError::Kind kind, std::string_view context) {
    if (code < 0) {
        throw MediaError(kind, std::string(context) + ": " + errorText(code), code);
    }
    return code;
}

FramePtr makeFrame() {
    FramePtr frame(av_frame_alloc());
    if (!frame) {
        throw std::bad_alloc();
    }
    return frame;
}

PacketPtr makePacket() {
    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        throw std::bad_alloc();
    }
    return packet;
}

std::string fileUrl(const std::filesystem::path& path) {
    return "file:" + std::filesystem::absolute(path).string();
}

void requireRegularFile(const std::filesystem::path& path, std::string_view context) {
    struct stat info {};
    // What cannot be looked at is left to FFmpeg, whose open fails with its
    // own text and code.
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        throw MediaError(MediaError::Kind::cannotOpen,
                         std::string(context) + ": not a regular file");
    }
}

} // namespace vexel::media::ffmpeg
