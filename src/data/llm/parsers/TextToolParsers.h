#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/JSONValue.h"
#include "domain/entities/Project.h"
#include "domain/entities/TextEntranceType.h"
#include "domain/entities/TextExitType.h"
#include "domain/entities/TextLoopType.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"

#include <optional>
#include <string>

namespace vexel {

// The text tools: adding a text overlay, restyling one, and its animations.
struct TextToolParsers {
    TextToolParsers() = delete;

    static EditCommand parseAddText(const JSONObject& input);
    static EditCommand parseEditText(const JSONObject& input, const Project& context);
    static EditCommand parseSetTextAnimation(const JSONObject& input, const Project& context);

    // "positionX" and "positionY" together as a custom point, else the
    // "position" word in any of the position map's languages; absent when none.
    static std::optional<TextPosition> parsePositionFields(const JSONObject& input);
    // `existing` with the given style fields replaced; absent when none is given.
    static std::optional<TextStyle> parseTextStyleFields(const JSONObject& input,
                                                         const TextStyle& existing);

    // The words the project state shows ("slideIn_left", "popIn", ...), exact.
    static std::optional<TextEntranceType> parseTextEntrance(const std::optional<std::string>& word,
                                                             const JSONObject& input);
    static std::optional<TextExitType> parseTextExit(const std::optional<std::string>& word);
    // "pulse" or "bounce" with their parameters, defaulted and range-checked.
    static std::optional<TextLoopType> parseTextLoop(const JSONObject& input);
};

} // namespace vexel
