#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/JSONValue.h"
#include "domain/entities/Project.h"
#include "domain/entities/TimeRange.h"

#include <optional>

namespace vexel {

// The tools aimed at an existing clip: arranging, timing, look, geometry and
// transitions. Each reads "target" first and resolves it against the project,
// so an unknown clip is reported before a missing or bad parameter.
struct ClipToolParsers {
    ClipToolParsers() = delete;

    static EditCommand parseMove(const JSONObject& input, const Project& context);
    static EditCommand parseTrim(const JSONObject& input, const Project& context);
    static EditCommand parseAdjustVolume(const JSONObject& input, const Project& context);
    // Media clips first, then text clips: a media clip wins a shared name.
    static EditCommand parseRemove(const JSONObject& input, const Project& context);
    static EditCommand parseSplit(const JSONObject& input, const Project& context);
    static EditCommand parseDuplicateClip(const JSONObject& input, const Project& context);
    static EditCommand parseSpeed(const JSONObject& input, const Project& context);
    static EditCommand parseOpacity(const JSONObject& input, const Project& context);
    static EditCommand parseColorAdjust(const JSONObject& input, const Project& context);
    static EditCommand parseRotateFlip(const JSONObject& input, const Project& context);
    static EditCommand parseCrop(const JSONObject& input, const Project& context);
    static EditCommand parseFilter(const JSONObject& input, const Project& context);
    // A cross-dissolve when "crossDissolveDuration" is given, else fades.
    static EditCommand parseTransition(const JSONObject& input, const Project& context);

    // The volume fade from "fadeStart" to "fadeEnd"; absent unless both are
    // numbers.
    static std::optional<TimeRange> parseFadeRange(const JSONObject& input);
};

} // namespace vexel
