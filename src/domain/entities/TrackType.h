#pragma once

#include "foundation/Json.h"
#include "foundation/RawValueTable.h"
#include "foundation/Uuid.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// The kind of clips a track holds.
enum class TrackType { video, audio, image, text };

inline constexpr RawValueTable<TrackType, 4> trackTypeRawValues{"TrackType",
                                                                {{{TrackType::video, "video"},
                                                                  {TrackType::audio, "audio"},
                                                                  {TrackType::image, "image"},
                                                                  {TrackType::text, "text"}}}};

inline constexpr std::array<TrackType, 4> allTrackTypes = trackTypeRawValues.cases();

// "video", "audio", "image", "text": the encoded and wire form.
std::string_view rawValue(TrackType type);
std::optional<TrackType> trackTypeFromRaw(std::string_view raw);

// The word that names tracks and lanes of this type ("Video", "Audio", ...).
std::string_view baseWord(TrackType type);

// The fixed id of the empty lane the timeline shows for a type without a track.
Uuid placeholderTrackID(TrackType type);

// The type of a media file from its extension (without the dot), any case.
std::optional<TrackType> inferTrackType(std::string_view fileExtension);

void to_json(Json& json, TrackType type);
// A bare string; an unknown string is a data-corrupted error, a non-string a type mismatch.
void from_json(const Json& json, TrackType& type);

} // namespace vexel
