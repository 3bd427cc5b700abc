#include "platform/media/ContentProbe.h"

#include "platform/media/detail/FFmpeg.h"

#include <string_view>
#include <system_error>

extern "C" {
#include <libavformat/avio.h>
}

namespace vexel::media::ContentProbe {

namespace {

struct IoContextDelete {
    void operator()(AVIOContext* io) const { avio_closep(&io); }
};

// FFmpeg's demuxers of single pictures are named "<codec>_pipe"; "image2"
// reads numbered picture files; GIF and APNG are still images to the editor,
// as their names are.
bool isStillImageFormat(std::string_view name) {
    constexpr std::string_view pipe = "_pipe";
    return name == "image2" || name == "gif" || name == "apng" ||
           (name.size() > pipe.size() && name.substr(name.size() - pipe.size()) == pipe);
}

} // namespace

Verdict examine(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) {
        return Problem::missing;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return Problem::unreadable;
    }
    if (size == 0) {
        return Problem::empty;
    }

    const std::string url = ffmpeg::fileUrl(path);
    AVIOContext* rawIo = nullptr;
    if (avio_open(&rawIo, url.c_str(), AVIO_FLAG_READ) < 0) {
        return Problem::unreadable;
    }
    std::unique_ptr<AVIOContext, IoContextDelete> io(rawIo);
    // No name: the extension must not vote. A low score is a format that
    // merely might fit, which text and other files reach by chance.
    const AVInputFormat* format = nullptr;
    const int score = av_probe_input_buffer2(io.get(), &format, "", nullptr, 0, 0);
    io.reset();
    if (score <= AVPROBE_SCORE_RETRY || format == nullptr) {
        return Problem::notMedia;
    }

    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, url.c_str(), format, nullptr) < 0) {
        return Problem::damaged;
    }
    ffmpeg::InputContextPtr context(raw);
    if (avformat_find_stream_info(context.get(), nullptr) < 0) {
        return Problem::damaged;
    }
    bool picture = false;
    bool sound = false;
    for (unsigned index = 0; index < context->nb_streams; ++index) {
        const AVStream& stream = *context->streams[index];
        const bool coverArt = (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !coverArt) {
            picture = true;
        } else if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            sound = true;
        }
    }
    if (picture && isStillImageFormat(format->name)) {
        return Kind::still;
    }
    if (picture) {
        return Kind::movie;
    }
    if (sound) {
        return Kind::sound;
    }
    return Problem::noPictureOrSound;
}

} // namespace vexel::media::ContentProbe
