#include "data/llm/ToolName.h"

namespace vexel {

std::string_view rawValue(ToolName name) {
    switch (name) {
    case ToolName::addClip:
        return "add_clip";
    case ToolName::addText:
        return "add_text";
    case ToolName::remove:
        return "remove";
    case ToolName::splitClip:
        return "split_clip";
    case ToolName::duplicateClip:
        return "duplicate_clip";
    case ToolName::addTrack:
        return "add_track";
    case ToolName::moveClip:
        return "move_clip";
    case ToolName::trimClip:
        return "trim_clip";
    case ToolName::setSpeed:
        return "set_speed";
    case ToolName::setVolume:
        return "set_volume";
    case ToolName::setOpacity:
        return "set_opacity";
    case ToolName::colorAdjust:
        return "color_adjust";
    case ToolName::applyFilter:
        return "apply_filter";
    case ToolName::editTextStyle:
        return "edit_text_style";
    case ToolName::rotateFlip:
        return "rotate_flip";
    case ToolName::crop:
        return "crop";
    case ToolName::setTextMotion:
        return "set_text_motion";
    case ToolName::setImageMotion:
        return "set_image_motion";
    case ToolName::setClipTransition:
        return "set_clip_transition";
    case ToolName::exportVideo:
        return "export_video";
    case ToolName::showTutorial:
        return "show_tutorial";
    case ToolName::undo:
        return "undo";
    case ToolName::redo:
        return "redo";
    }
    return "add_clip";
}

std::optional<ToolName> toolNameFromRaw(std::string_view raw) {
    for (ToolName name : allToolNames) {
        if (rawValue(name) == raw) {
            return name;
        }
    }
    return std::nullopt;
}

} // namespace vexel
