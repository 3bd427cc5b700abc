#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vexel {

// The assistant's whole vocabulary: one case per editing tool, in the order in
// which the tool definitions are sent.
enum class ToolName {
    addClip,
    addText,
    remove,
    splitClip,
    duplicateClip,
    addTrack,
    moveClip,
    trimClip,
    setSpeed,
    setVolume,
    setOpacity,
    colorAdjust,
    applyFilter,
    editTextStyle,
    rotateFlip,
    crop,
    setTextMotion,
    setImageMotion,
    setClipTransition,
    exportVideo,
    showTutorial,
    undo,
    redo,
};

inline constexpr std::array<ToolName, 23> allToolNames = {
    ToolName::addClip,
    ToolName::addText,
    ToolName::remove,
    ToolName::splitClip,
    ToolName::duplicateClip,
    ToolName::addTrack,
    ToolName::moveClip,
    ToolName::trimClip,
    ToolName::setSpeed,
    ToolName::setVolume,
    ToolName::setOpacity,
    ToolName::colorAdjust,
    ToolName::applyFilter,
    ToolName::editTextStyle,
    ToolName::rotateFlip,
    ToolName::crop,
    ToolName::setTextMotion,
    ToolName::setImageMotion,
    ToolName::setClipTransition,
    ToolName::exportVideo,
    ToolName::showTutorial,
    ToolName::undo,
    ToolName::redo,
};

// The wire name ("add_clip", "set_text_motion", ...).
std::string_view rawValue(ToolName name);

// Exact, case-sensitive match of the whole string; anything else is nullopt.
std::optional<ToolName> toolNameFromRaw(std::string_view raw);

} // namespace vexel
