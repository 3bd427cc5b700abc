#pragma once

#include "foundation/RawValueTable.h"

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

inline constexpr RawValueTable<ToolName, 23> toolNameRawValues{
    "ToolName",
    {{{ToolName::addClip, "add_clip"},
      {ToolName::addText, "add_text"},
      {ToolName::remove, "remove"},
      {ToolName::splitClip, "split_clip"},
      {ToolName::duplicateClip, "duplicate_clip"},
      {ToolName::addTrack, "add_track"},
      {ToolName::moveClip, "move_clip"},
      {ToolName::trimClip, "trim_clip"},
      {ToolName::setSpeed, "set_speed"},
      {ToolName::setVolume, "set_volume"},
      {ToolName::setOpacity, "set_opacity"},
      {ToolName::colorAdjust, "color_adjust"},
      {ToolName::applyFilter, "apply_filter"},
      {ToolName::editTextStyle, "edit_text_style"},
      {ToolName::rotateFlip, "rotate_flip"},
      {ToolName::crop, "crop"},
      {ToolName::setTextMotion, "set_text_motion"},
      {ToolName::setImageMotion, "set_image_motion"},
      {ToolName::setClipTransition, "set_clip_transition"},
      {ToolName::exportVideo, "export_video"},
      {ToolName::showTutorial, "show_tutorial"},
      {ToolName::undo, "undo"},
      {ToolName::redo, "redo"}}}};

inline constexpr std::array<ToolName, 23> allToolNames = toolNameRawValues.cases();

// The wire name ("add_clip", "set_text_motion", ...).
std::string_view rawValue(ToolName name);

// Exact, case-sensitive match of the whole string; anything else is nullopt.
std::optional<ToolName> toolNameFromRaw(std::string_view raw);

} // namespace vexel
