#include "platform/media/Asset.h"

#include "platform/media/detail/DisplayMatrix.h"
#include "platform/media/detail/EditLists.h"
#include "platform/media/detail/FFmpeg.h"

#include <cstring>
#include <map>
#include <string_view>

namespace vexel::media {

namespace {

using ffmpeg::check;

MediaTime timeIn(std::int64_t ticks, AVRational timeBase) {
    return MediaTime(ticks, timeBase.den).multipliedByRatio(timeBase.num, 1);
}

std::string fourCharacterCode(std::uint32_t tag) {
    if (tag == 0) {
        return {};
    }
    std::string code;
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>((tag >> (8 * i)) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            return {};
        }
        code += c;
    }
    return code;
}

double rate(AVRational r) {
    return r.num > 0 && r.den > 0 ? static_cast<double>(r.num) / r.den : 0;
}

AssetTrack probeTrack(const AVStream& stream) {
    const AVCodecParameters& parameters = *stream.codecpar;
    AssetTrack track;
    track.trackID = stream.index;
    track.codecName = avcodec_get_name(parameters.codec_id);
    track.codecTag = fourCharacterCode(parameters.codec_tag);
    if (stream.start_time != AV_NOPTS_VALUE) {
        track.timeRange.start = timeIn(stream.start_time, stream.time_base);
    }
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
        track.timeRange.duration = timeIn(stream.duration, stream.time_base);
    }
    bool isCoverArt = (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
    if (parameters.codec_type == AVMEDIA_TYPE_VIDEO && !isCoverArt) {
        track.mediaType = MediaType::video;
        track.naturalSize = {static_cast<double>(parameters.width),
                             static_cast<double>(parameters.height)};
        std::size_t size = 0;
        const std::uint8_t* data =
            av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
        if (data && size >= sizeof(DisplayMatrix)) {
            DisplayMatrix matrix;
            std::memcpy(matrix.data(), data, sizeof matrix);
            track.preferredTransform =
                preferredTransformFromDisplayMatrix(matrix, track.naturalSize);
        }
        track.nominalFrameRate = rate(stream.avg_frame_rate);
        if (track.nominalFrameRate == 0) {
            track.nominalFrameRate = rate(stream.r_frame_rate);
        }
    } else if (parameters.codec_type == AVMEDIA_TYPE_AUDIO) {
        track.mediaType = MediaType::audio;
        track.sampleRate = parameters.sample_rate;
        track.channelCount = parameters.ch_layout.nb_channels;
    }
    return track;
}

} // namespace

Asset Asset::load(const std::filesystem::path& path) {
    const std::string context = "Cannot open \"" + path.string() + "\"";
    ffmpeg::requireRegularFile(path, context);
    ffmpeg::Options options;
    options.set("protocol_whitelist", "file");
    AVFormatContext* raw = nullptr;
    check(avformat_open_input(&raw, ffmpeg::fileUrl(path).c_str(), nullptr, options.get()),
          MediaError::Kind::cannotOpen, context);
    ffmpeg::InputContextPtr format(raw);
    check(avformat_find_stream_info(format.get(), nullptr), MediaError::Kind::cannotOpen, context);

    // A video track ends with its last displayed frame, which the edit list
    // knows and FFmpeg's decode-order length may not.
    std::map<int, MediaTime> editedEnds;
    if (std::string_view(format->iformat->name).find("mp4") != std::string_view::npos) {
        editedEnds = detail::presentationEndsFromEditLists(path);
    }

    Asset asset;
    asset.path = path;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AssetTrack track = probeTrack(*format->streams[i]);
        auto edited = editedEnds.find(format->streams[i]->id);
        if (track.mediaType == MediaType::video && edited != editedEnds.end() &&
            edited->second > track.timeRange.start) {
            track.timeRange.duration = edited->second - track.timeRange.start;
        }
        if (track.mediaType != MediaType::other && track.timeRange.end() > asset.duration) {
            asset.duration = track.timeRange.end();
        }
        asset.tracks.push_back(std::move(track));
    }
    if (asset.duration == MediaTime::zero() && format->duration != AV_NOPTS_VALUE &&
        format->duration > 0) {
        asset.duration = timeIn(format->duration, AVRational{1, AV_TIME_BASE});
    }
    return asset;
}

std::vector<AssetTrack> Asset::tracksWithMediaType(MediaType type) const {
    std::vector<AssetTrack> found;
    for (const AssetTrack& track : tracks) {
        if (track.mediaType == type) {
            found.push_back(track);
        }
    }
    return found;
}

std::optional<AssetTrack> Asset::firstTrack(MediaType type) const {
    for (const AssetTrack& track : tracks) {
        if (track.mediaType == type) {
            return track;
        }
    }
    return std::nullopt;
}

} // namespace vexel::media
