#pragma once

#include "data/llm/ToolCall.h"
#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TrackType.h"
#include "foundation/Uuid.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexel {

// Turns the assistant's tool calls into edit commands against the current
// project. Pure: it only reads the project it is given and throws
// LLMResponseParserError for a call it cannot turn into a command.
class ToolCallMapper {
public:
    // One command per call, in call order. The first failing call ends the
    // mapping: its error is thrown and no command of the list is returned.
    std::vector<EditCommand> map(const std::vector<ToolCall>& calls, const Project& context) const;

    // The one command of a single call, or its error.
    EditCommand map(const ToolCall& call, const Project& context) const;
    // The one command of the tool named `name` with these arguments, or its error.
    EditCommand map(const std::string& name, const JSONObject& input, const Project& context) const;

    // Position words of several languages, lower case, to the text position.
    static const std::map<std::string, TextPosition, std::less<>>& positionMap();
    // The position a word names: lowercased and compared canonically (NFC).
    static std::optional<TextPosition> lookUpPosition(std::string_view word);

    // The first clip outside text tracks, in track then clip order, whose
    // asset name equals the target exactly; else targetNotFound.
    static Uuid resolveClipId(const std::string& target, const Project& context);
    // Absent stays absent; else the first track of any type with that exact
    // name, or targetNotFound.
    static std::optional<Uuid> resolveTrackId(const std::optional<std::string>& target,
                                              const Project& context);
    // The first text clip whose text equals the target exactly; else targetNotFound.
    static Uuid resolveTextClipId(const std::string& target, const Project& context);

    // Exactly "video", "audio" or "image"; else unknownTrackType.
    static TrackType parseTrackType(const std::string& value);
    // "true" / "false" in any letter case; anything else, or absent, is absent.
    static std::optional<bool> parseBoolString(const std::optional<std::string>& value);
};

} // namespace vexel
