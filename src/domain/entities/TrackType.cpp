#include "domain/entities/TrackType.h"

#include "foundation/UnicodeText.h"

namespace vexel {

std::string_view rawValue(TrackType type) {
    return trackTypeRawValues.raw(type);
}

std::optional<TrackType> trackTypeFromRaw(std::string_view raw) {
    return trackTypeRawValues.fromRaw(raw);
}

std::string_view baseWord(TrackType type) {
    switch (type) {
    case TrackType::video:
        return "Video";
    case TrackType::audio:
        return "Audio";
    case TrackType::image:
        return "Image";
    case TrackType::text:
        return "Text";
    }
    return "Video";
}

Uuid placeholderTrackID(TrackType type) {
    Uuid::Bytes bytes{};
    switch (type) {
    case TrackType::video:
        bytes[15] = 1;
        break;
    case TrackType::image:
        bytes[15] = 2;
        break;
    case TrackType::text:
        bytes[15] = 3;
        break;
    case TrackType::audio:
        bytes[15] = 4;
        break;
    }
    return Uuid(bytes);
}

std::optional<TrackType> inferTrackType(std::string_view fileExtension) {
    std::string ext = unicode::lowercased(fileExtension);
    for (std::string_view e : {"mp4", "mov", "m4v", "avi"}) {
        if (ext == e) {
            return TrackType::video;
        }
    }
    for (std::string_view e : {"mp3", "wav", "aac", "m4a"}) {
        if (ext == e) {
            return TrackType::audio;
        }
    }
    for (std::string_view e : {"jpg", "jpeg", "png", "heic", "gif"}) {
        if (ext == e) {
            return TrackType::image;
        }
    }
    return std::nullopt;
}

void to_json(Json& json, TrackType type) {
    trackTypeRawValues.encode(json, type);
}

void from_json(const Json& json, TrackType& type) {
    type = trackTypeRawValues.decode(json);
}

} // namespace vexel
