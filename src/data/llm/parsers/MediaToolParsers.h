#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/JSONValue.h"
#include "domain/entities/Project.h"
#include "domain/entities/TransitionType.h"

#include <optional>
#include <string>

namespace vexel {

// Adding media and audio tracks, image motion, and the transition names that
// the transition tool shares.
struct MediaToolParsers {
    MediaToolParsers() = delete;

    // Names a file; the project is not consulted.
    static EditCommand parseAddClip(const JSONObject& input);
    // Only audio tracks can be added.
    static EditCommand parseAddTrack(const JSONObject& input);
    static EditCommand parseSetImageAnimation(const JSONObject& input, const Project& context);

    // "fade", "crossDissolve", "clip_push_left", ..., exact; anything else
    // absent.
    static std::optional<TransitionType>
    parseTransitionType(const std::optional<std::string>& name);
};

} // namespace vexel
