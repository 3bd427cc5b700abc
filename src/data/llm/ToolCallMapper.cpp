#include "data/llm/ToolCallMapper.h"

#include "data/llm/LLMResponseParserError.h"
#include "data/llm/ToolName.h"
#include "data/llm/parsers/ClipToolParsers.h"
#include "data/llm/parsers/MediaToolParsers.h"
#include "data/llm/parsers/TextToolParsers.h"
#include "data/llm/parsers/ToolInput.h"
#include "foundation/UnicodeText.h"

#include <utility>
#include <vector>

namespace vexel {

namespace {

EditCommand parseExport(const JSONObject& input) {
    std::string format = toolinput::requiredString(input, "format");
    auto parsed = exportFormatFromRaw(format);
    if (!parsed) {
        throw LLMResponseParserError::invalidExportFormat(std::move(format));
    }
    return EditCommand::Export{*parsed};
}

} // namespace

std::vector<EditCommand> ToolCallMapper::map(const std::vector<ToolCall>& calls,
                                             const Project& context) const {
    std::vector<EditCommand> commands;
    commands.reserve(calls.size());
    for (const ToolCall& call : calls) {
        commands.push_back(map(call, context));
    }
    return commands;
}

EditCommand ToolCallMapper::map(const ToolCall& call, const Project& context) const {
    // An unknown tool is reported as such, whatever its input.
    if (call.malformedInput && toolNameFromRaw(call.name)) {
        throw LLMResponseParserError::invalidToolInput(call.name);
    }
    // Read from its text for this call alone, and let go once it is mapped.
    return map(call.name, call.input.members(), context);
}

EditCommand ToolCallMapper::map(const std::string& name, const JSONObject& input,
                                const Project& context) const {
    auto tool = toolNameFromRaw(name);
    if (!tool) {
        throw LLMResponseParserError::unknownAction(name);
    }
    switch (*tool) {
    case ToolName::addClip:
        return MediaToolParsers::parseAddClip(input);
    case ToolName::addText:
        return TextToolParsers::parseAddText(input);
    case ToolName::remove:
        return ClipToolParsers::parseRemove(input, context);
    case ToolName::splitClip:
        return ClipToolParsers::parseSplit(input, context);
    case ToolName::duplicateClip:
        return ClipToolParsers::parseDuplicateClip(input, context);
    case ToolName::addTrack:
        return MediaToolParsers::parseAddTrack(input);
    case ToolName::moveClip:
        return ClipToolParsers::parseMove(input, context);
    case ToolName::trimClip:
        return ClipToolParsers::parseTrim(input, context);
    case ToolName::setSpeed:
        return ClipToolParsers::parseSpeed(input, context);
    case ToolName::setVolume:
        return ClipToolParsers::parseAdjustVolume(input, context);
    case ToolName::setOpacity:
        return ClipToolParsers::parseOpacity(input, context);
    case ToolName::colorAdjust:
        return ClipToolParsers::parseColorAdjust(input, context);
    case ToolName::applyFilter:
        return ClipToolParsers::parseFilter(input, context);
    case ToolName::editTextStyle:
        return TextToolParsers::parseEditText(input, context);
    case ToolName::rotateFlip:
        return ClipToolParsers::parseRotateFlip(input, context);
    case ToolName::crop:
        return ClipToolParsers::parseCrop(input, context);
    case ToolName::setTextMotion:
        return TextToolParsers::parseSetTextAnimation(input, context);
    case ToolName::setImageMotion:
        return MediaToolParsers::parseSetImageAnimation(input, context);
    case ToolName::setClipTransition:
        return ClipToolParsers::parseTransition(input, context);
    case ToolName::exportVideo:
        return parseExport(input);
    case ToolName::showTutorial:
        return EditCommand::ShowTutorial{};
    case ToolName::undo:
        return EditCommand::Undo{};
    case ToolName::redo:
        return EditCommand::Redo{};
    }
    throw LLMResponseParserError::unknownAction(name);
}

const std::map<std::string, TextPosition, std::less<>>& ToolCallMapper::positionMap() {
    static const std::map<std::string, TextPosition, std::less<>> table = [] {
        const std::pair<TextPosition, std::vector<std::string_view>> rows[] = {
            {TextPosition::top(), {"top", "上", "위", "arriba", "haut", "oben", "em cima"}},
            {TextPosition::center(),
             {"center", "中央", "중앙", "中间", "centro", "centre", "mitte"}},
            {TextPosition::bottom(), {"bottom", "下", "아래", "abajo", "bas", "unten", "embaixo"}},
        };
        std::map<std::string, TextPosition, std::less<>> built;
        for (const auto& [position, words] : rows) {
            for (std::string_view word : words) {
                built.emplace(unicode::nfc(word), position);
            }
        }
        return built;
    }();
    return table;
}

std::optional<TextPosition> ToolCallMapper::lookUpPosition(std::string_view word) {
    const auto& table = positionMap();
    auto found = table.find(unicode::nfc(unicode::lowercased(word)));
    if (found == table.end()) {
        return std::nullopt;
    }
    return found->second;
}

Uuid ToolCallMapper::resolveClipId(const std::string& target, const Project& context) {
    for (const Track& track : context.tracks) {
        if (track.type == TrackType::text) {
            continue;
        }
        for (const Clip& clip : track.clips) {
            if (clip.assetName == target) {
                return clip.id;
            }
        }
    }
    throw LLMResponseParserError::targetNotFound(target);
}

std::optional<Uuid> ToolCallMapper::resolveTrackId(const std::optional<std::string>& target,
                                                   const Project& context) {
    if (!target) {
        return std::nullopt;
    }
    for (const Track& track : context.tracks) {
        if (track.name == *target) {
            return track.id;
        }
    }
    throw LLMResponseParserError::targetNotFound(*target);
}

Uuid ToolCallMapper::resolveTextClipId(const std::string& target, const Project& context) {
    for (const Track& track : context.tracks) {
        if (track.type != TrackType::text) {
            continue;
        }
        for (const Clip& clip : track.clips) {
            if (clip.assetName == target) {
                return clip.id;
            }
        }
    }
    throw LLMResponseParserError::targetNotFound(target);
}

TrackType ToolCallMapper::parseTrackType(const std::string& value) {
    if (value == "video") {
        return TrackType::video;
    }
    if (value == "audio") {
        return TrackType::audio;
    }
    if (value == "image") {
        return TrackType::image;
    }
    throw LLMResponseParserError::unknownTrackType(value);
}

std::optional<bool> ToolCallMapper::parseBoolString(const std::optional<std::string>& value) {
    if (!value) {
        return std::nullopt;
    }
    std::string lowered = unicode::lowercased(*value);
    if (lowered == "true") {
        return true;
    }
    if (lowered == "false") {
        return false;
    }
    return std::nullopt;
}

} // namespace vexel
