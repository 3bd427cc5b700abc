#include "platform/media/Asset.h"

#include "platform/media/detail/DisplayMatrix.h"
#include "platform/media/detail/EditLists.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/Mp3InfoTag.h"
#include "platform/media/detail/TrackInput.h"

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

bool isIsoMedia(const AVFormatContext& format) {
    return std::string_view(format.iformat->name).find("mp4") != std::string_view::npos;
}

// Where the file's timeline begins (see Asset::timelineStart): the earliest
// start of its sound and pictures, exactly as the stream has it (the
// container's own start is rounded to microseconds). A start before zero is
// a codec's delay (Opus in WebM), not a later beginning: the sound itself
// begins at zero once the decoder skips it.
MediaTime timelineStartOf(const AVFormatContext& format) {
    if (isIsoMedia(format)) {
        return MediaTime::zero();
    }
    std::optional<MediaTime> earliest;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream& stream = *format.streams[i];
        const AVMediaType type = stream.codecpar->codec_type;
        if ((type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) ||
            stream.start_time == AV_NOPTS_VALUE) {
            continue;
        }
        const MediaTime start = timeIn(stream.start_time, stream.time_base);
        earliest = earliest ? min(*earliest, start) : start;
    }
    return earliest && *earliest > MediaTime::zero() ? *earliest : MediaTime::zero();
}

// Where the container says its media ends on the file's timeline; nothing
// when it does not say. Matroska and WebM give their streams no length of
// their own, only the segment's.
std::optional<MediaTime> containerEnd(const AVFormatContext& format, const MediaTime& start) {
    if (format.duration == AV_NOPTS_VALUE || format.duration <= 0) {
        return std::nullopt;
    }
    return start + timeIn(format.duration, AVRational{1, AV_TIME_BASE});
}

// The shape of a stored pixel, as the container or else the stream says; a
// ratio beyond any real camera's is taken for a damaged header.
AVRational pixelAspectOf(AVFormatContext& format, AVStream& stream) {
    AVRational ratio = av_guess_sample_aspect_ratio(&format, &stream, nullptr);
    if (ratio.num <= 0 || ratio.den <= 0 || av_cmp_q(ratio, AVRational{1, 4}) < 0 ||
        av_cmp_q(ratio, AVRational{4, 1}) > 0) {
        return AVRational{1, 1};
    }
    av_reduce(&ratio.num, &ratio.den, ratio.num, ratio.den, 1 << 16);
    return ratio;
}

FieldOrder fieldOrderOf(const AVCodecParameters& parameters) {
    switch (parameters.field_order) {
    case AV_FIELD_TT:
    case AV_FIELD_BT:
        return FieldOrder::topFieldFirst;
    case AV_FIELD_BB:
    case AV_FIELD_TB:
        return FieldOrder::bottomFieldFirst;
    default:
        return FieldOrder::progressive;
    }
}

AssetTrack probeTrack(AVFormatContext& format, AVStream& stream, const MediaTime& timelineStart) {
    const AVCodecParameters& parameters = *stream.codecpar;
    AssetTrack track;
    track.trackID = stream.index;
    track.codecName = avcodec_get_name(parameters.codec_id);
    track.codecTag = fourCharacterCode(parameters.codec_tag);
    MediaTime start = timelineStart;
    if (stream.start_time != AV_NOPTS_VALUE) {
        start = timeIn(stream.start_time, stream.time_base);
    }
    track.timeRange.start = start - timelineStart;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
        track.timeRange.duration = timeIn(stream.duration, stream.time_base);
    } else if (auto end = containerEnd(format, timelineStart); end && *end > start) {
        track.timeRange.duration = *end - start;
    }
    bool isCoverArt = (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
    if (parameters.codec_type == AVMEDIA_TYPE_VIDEO && !isCoverArt) {
        track.mediaType = MediaType::video;
        const AVRational aspect = pixelAspectOf(format, stream);
        track.pixelAspectNumerator = aspect.num;
        track.pixelAspectDenominator = aspect.den;
        track.naturalSize = {static_cast<double>(detail::displayWidth(parameters.width, track)),
                             static_cast<double>(parameters.height)};
        track.fieldOrder = fieldOrderOf(parameters);
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
    if (isIsoMedia(*format)) {
        editedEnds = detail::presentationEndsFromEditLists(path);
    }
    // An MP3's length counts its encoder's delay and padding, which decoding
    // skips.
    std::optional<detail::Mp3SoundLength> mp3Length;
    if (std::string_view(format->iformat->name) == "mp3") {
        mp3Length = detail::mp3SoundLength(path);
    }

    Asset asset;
    asset.path = path;
    asset.timelineStart = timelineStartOf(*format);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AssetTrack track = probeTrack(*format, *format->streams[i], asset.timelineStart);
        auto edited = editedEnds.find(format->streams[i]->id);
        if (track.mediaType == MediaType::video && edited != editedEnds.end() &&
            edited->second > track.timeRange.start) {
            track.timeRange.duration = edited->second - track.timeRange.start;
        }
        if (track.mediaType == MediaType::audio && mp3Length &&
            mp3Length->sampleRate == track.sampleRate) {
            track.timeRange.duration = MediaTime(mp3Length->samples, mp3Length->sampleRate);
        }
        if (track.mediaType != MediaType::other && track.timeRange.end() > asset.duration) {
            asset.duration = track.timeRange.end();
        }
        asset.tracks.push_back(std::move(track));
    }
    if (asset.duration == MediaTime::zero()) {
        if (auto end = containerEnd(*format, asset.timelineStart)) {
            asset.duration = *end - asset.timelineStart;
        }
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
