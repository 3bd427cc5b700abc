#include "data/llm/ToolDefinitions.h"

#include "data/llm/ParameterValidator.h"
#include "data/llm/ToolName.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace vexel {

namespace {

using Words = std::vector<std::string_view>;

struct Parameter {
    std::string_view name;
    std::string_view type;
    std::string_view description;
    Words allowed; // written as "enum" when not empty
};

Parameter text(std::string_view name, std::string_view description, Words allowed = {}) {
    return {name, "string", description, std::move(allowed)};
}

Parameter number(std::string_view name, std::string_view description) {
    return {name, "number", description, {}};
}

// The schema lists only the English names, in code-point order; the localised
// names the validator also accepts stay out of it.
Words colours() {
    Words names(ParameterValidator::validColorNames.begin(),
                ParameterValidator::validColorNames.end());
    std::sort(names.begin(), names.end());
    return names;
}

Words easings() {
    return {"linear", "easeIn", "easeOut", "easeInOut"};
}

Words textPositions() {
    return {"top", "center", "bottom"};
}

Json tool(ToolName name, std::string_view description, const std::vector<Parameter>& parameters,
          const Words& required) {
    Json properties = Json::object();
    for (const Parameter& parameter : parameters) {
        Json schema = Json::object();
        schema["type"] = parameter.type;
        schema["description"] = parameter.description;
        if (!parameter.allowed.empty()) {
            schema["enum"] = parameter.allowed;
        }
        properties[std::string(parameter.name)] = std::move(schema);
    }
    Json inputSchema = Json::object();
    inputSchema["type"] = "object";
    inputSchema["properties"] = std::move(properties);
    inputSchema["required"] = Json::array();
    for (std::string_view key : required) {
        inputSchema["required"].push_back(key);
    }
    inputSchema["additionalProperties"] = false;

    Json definition = Json::object();
    definition["name"] = rawValue(name);
    definition["description"] = description;
    definition["input_schema"] = std::move(inputSchema);
    return definition;
}

void appendStructuralTools(Json& tools) {
    tools.push_back(tool(ToolName::addClip, "Add a media file to the timeline.",
                         {
                             text("target", "The filename of the media asset to add."),
                             text("trackType", "The type of track.", {"video", "audio", "image"}),
                             number("at", "Start time in seconds where the clip should be placed."),
                             text("target_track", "Name of the target audio track. If omitted, "
                                                  "uses the default track."),
                         },
                         {"target", "trackType", "at"}));

    tools.push_back(tool(
        ToolName::addText, "Add a text overlay. Appends to end of text track if 'at' is omitted.",
        {
            text("target", "The text content to display. Default: \"Sample Text\"."),
            number("at", "Start time in seconds. Omit to auto-append after existing text."),
            number("duration", "Duration in seconds. Default: 3.0."),
            text("position", "Text position. Default: bottom.", textPositions()),
            number("positionX",
                   "Custom horizontal position (0.0=left, 1.0=right). Requires positionY."),
            number("positionY",
                   "Custom vertical position (0.0=top, 1.0=bottom). Requires positionX."),
            number("fontSize", "Font size (1-500). Default: 48."),
            text("textColor", "Text color name. Default: white.", colours()),
            text("strokeColor", "Stroke/outline color. Default: white.", colours()),
            number("strokeWidth",
                   "Stroke width (0-10). Default: 0 (no stroke). Set > 0 to add outline."),
            text("fontName", "Font family name (e.g. 'Georgia', 'Courier'). Default: system font."),
            number("boxWidth",
                   "Text box width as fraction of video width (0.2-1.0). Default: 0.96."),
        },
        {}));

    tools.push_back(
        tool(ToolName::remove, "Remove any clip or text overlay from the timeline.",
             {
                 text("target", "The asset name or text content of the item to remove."),
             },
             {"target"}));

    tools.push_back(
        tool(ToolName::splitClip,
             "Split a clip into two at the given time (must be between clip start and end).",
             {
                 text("target", "The asset name of the clip to split."),
                 number("at", "The time in seconds at which to split."),
             },
             {"target", "at"}));

    tools.push_back(tool(ToolName::duplicateClip, "Duplicate an existing clip on the timeline.",
                         {
                             text("target", "The asset name of the clip to duplicate."),
                             number("at", "Start time for the duplicate in seconds. Defaults to "
                                          "after the original."),
                         },
                         {"target"}));

    tools.push_back(tool(ToolName::addTrack,
                         "Add a new audio track to the timeline. Use this to create separate "
                         "tracks for narration, BGM, sound effects, etc.",
                         {
                             text("name", "Optional name for the track (e.g. 'BGM', "
                                          "'Narration'). Auto-generated if omitted."),
                             text("trackType",
                                  "The type of track. Currently only audio is "
                                  "supported.",
                                  {"audio"}),
                         },
                         {"trackType"}));
}

void appendTemporalTools(Json& tools) {
    tools.push_back(tool(ToolName::moveClip, "Move a clip to a new position on the timeline.",
                         {
                             text("target", "The asset name of the clip to move."),
                             number("to", "The new start time in seconds."),
                             text("toTrack", "Target track name for cross-track moves."),
                         },
                         {"target", "to"}));

    tools.push_back(
        tool(ToolName::trimClip,
             "Trim a clip by setting source in/out points. Timeline position is "
             "preserved; use move_clip to reposition.",
             {
                 text("target", "The asset name of the clip to trim."),
                 number("startTime", "Source media in-point in seconds (unaffected by "
                                     "playback speed). 0 = beginning of file."),
                 // "2\u00D7" is "2×", the multiplication sign.
                 number("duration", "Visual duration on timeline in seconds (at current playback "
                                    "speed). At 2\u00D7 speed, a 5s visual duration uses 10s of "
                                    "source media."),
             },
             {"target", "startTime", "duration"}));

    tools.push_back(
        tool(ToolName::setSpeed,
             "Change playback speed of a video or audio clip. 1.0 is normal, 2.0 is "
             "double speed, 0.5 is half speed.",
             {
                 text("target", "The asset name of the clip."),
                 number("rate", "Playback rate from 0.25 (quarter speed) to 4.0 (4x speed)."),
             },
             {"target", "rate"}));
}

void appendAppearanceTools(Json& tools) {
    tools.push_back(tool(ToolName::setVolume,
                         "Adjust the volume of a video or audio clip. 1.0 is normal, 0.0 is mute, "
                         "2.0 is double.",
                         {
                             text("target", "The asset name of the clip."),
                             number("volume", "Volume level from 0.0 (mute) to 1.0 (full)."),
                             number("fadeStart", "Fade start time in seconds."),
                             number("fadeEnd", "Fade end time in seconds."),
                         },
                         {"target", "volume"}));

    tools.push_back(tool(ToolName::setOpacity,
                         "Set the opacity of a video or image clip. 1.0 is fully opaque, 0.0 is "
                         "fully transparent.",
                         {
                             text("target", "The asset name of the clip."),
                             number("opacity", "Opacity from 0.0 (transparent) to 1.0 (opaque)."),
                         },
                         {"target", "opacity"}));

    tools.push_back(
        tool(ToolName::colorAdjust,
             "Adjust color properties of a video or image clip. At least one of "
             "brightness, contrast, or saturation must be provided.",
             {
                 text("target", "The asset name of the clip."),
                 number("brightness", "Brightness from -1.0 (darkest) to 1.0 "
                                      "(brightest). Default 0.0."),
                 number("contrast", "Contrast from 0.0 (no contrast) to 4.0 (max). Default 1.0."),
                 number("saturation", "Saturation from 0.0 (grayscale) to 4.0 (max). Default 1.0."),
             },
             {"target"}));

    tools.push_back(
        tool(ToolName::applyFilter,
             "Apply a visual filter preset to a video or image clip. Use filter_name "
             "\"none\" to remove an existing filter.",
             {
                 text("target", "The asset name of the clip."),
                 text("filter_name", "Filter preset name.", {"sepia", "grayscale", "noir", "none"}),
                 number("intensity", "Filter intensity from 0.0 to 1.0. Default 1.0."),
             },
             {"target", "filter_name"}));

    tools.push_back(
        tool(ToolName::editTextStyle,
             "Edit an existing text overlay. All params except target are optional. Both 'at' and "
             "'duration' must be provided together to change timing; other params are independent.",
             {
                 text("target", "The current text content of the overlay to edit."),
                 text("newText", "New text content."),
                 text("position", "Text position.", textPositions()),
                 number("positionX", "Custom horizontal position (0.0=left, 1.0=right). Requires "
                                     "positionY. Overrides position enum."),
                 number("positionY", "Custom vertical position (0.0=top, 1.0=bottom). Requires "
                                     "positionX. Overrides position enum."),
                 number("fontSize", "Font size (1-500)."),
                 text("textColor", "Text color name.", colours()),
                 text("strokeColor", "Stroke/outline color.", colours()),
                 number("strokeWidth", "Stroke width (0-10). 0 removes stroke."),
                 text("fontName", "Font family name (e.g. 'Georgia', 'Courier')."),
                 number("boxWidth", "Text box width as fraction of video width (0.2-1.0)."),
                 number("at", "New start time in seconds."),
                 number("duration", "New duration in seconds."),
             },
             {"target"}));
}

void appendGeometryTools(Json& tools) {
    // The flip flags are the strings "true" / "false", not JSON booleans.
    tools.push_back(tool(
        ToolName::rotateFlip,
        "Rotate or flip a video or image clip. At least one of rotation, "
        "flipHorizontal, or flipVertical must be provided.",
        {
            text("target", "The asset name of the clip."),
            number("rotation", "Rotation in degrees: 0, 90, 180, or 270."),
            text("flipHorizontal", "Set to \"true\" to flip horizontally, \"false\" to unflip."),
            text("flipVertical", "Set to \"true\" to flip vertically, \"false\" to unflip."),
        },
        {"target"}));

    tools.push_back(tool(ToolName::crop,
                         "Crop a video or image clip using normalized coordinates (0.0 to 1.0). "
                         "The crop region is defined by its top-left corner (x, y) and dimensions "
                         "(width, height).",
                         {
                             text("target", "The asset name of the clip."),
                             number("x", "Left edge of crop region (0.0 to 1.0)."),
                             number("y", "Top edge of crop region (0.0 to 1.0)."),
                             number("width", "Width of crop region (greater than 0.0, up to 1.0). "
                                             "x + width must not exceed 1.0."),
                             number("height", "Height of crop region (greater than 0.0, up to "
                                              "1.0). y + height must not exceed 1.0."),
                         },
                         {"target", "x", "y", "width", "height"}));
}

void appendMotionTools(Json& tools) {
    tools.push_back(
        tool(ToolName::setTextMotion,
             "Set entrance, exit, and/or loop animations on a text overlay. Supports wipe, slide, "
             "scale, pop, bounce, and fade effects. Set all to null/omit to remove animation.",
             {
                 text("target", "The text content of the overlay to animate."),
                 text("entrance", "Entrance animation type.",
                      {"slideIn_left", "slideIn_right", "slideIn_up", "slideIn_down", "scaleIn",
                       "popIn", "wipeReveal_left", "wipeReveal_right", "wipeReveal_up",
                       "wipeReveal_down", "bounceIn", "fadeIn"}),
                 text("exit", "Exit animation type.",
                      {"slideOut_left", "slideOut_right", "slideOut_up", "slideOut_down",
                       "scaleOut", "fadeOut", "popOut", "wipeOut_left", "wipeOut_right",
                       "wipeOut_up", "wipeOut_down", "bounceOut"}),
                 text("loop", "Loop animation type.", {"pulse", "bounce"}),
                 text("entranceEasing", "Entrance easing. Default: easeOut.", easings()),
                 text("exitEasing", "Exit easing. Default: easeIn.", easings()),
                 number("pulseScale", "Scale factor for pulse loop (0.5-3.0). Default: 1.2."),
                 number("pulseInterval", "Pulse interval in seconds (0.1-10.0). Default: 1.0."),
                 number("bounceAmplitude", "Bounce amplitude (0.0-0.5 normalized). Default: 0.1."),
                 number("bounceInterval", "Bounce interval in seconds (0.1-10.0). Default: 0.5."),
             },
             {"target"}));

    tools.push_back(tool(
        ToolName::setImageMotion,
        "Set a motion effect on an image clip. Animation always plays for the full clip "
        "duration; animation duration cannot be changed independently. If the user asks to "
        "adjust animation duration, explain this limitation and suggest using trim_clip to "
        "shorten the clip instead.",
        {
            text("target", "The asset name of the image clip."),
            text("type", "Animation type.",
                 {"kenBurns", "zoomIn", "zoomOut", "pan_left", "pan_right", "pan_up", "pan_down",
                  "shake", "rotate"}),
            text("easing", "Easing curve. Default: easeInOut.", easings()),
            number("factor", "Zoom factor for zoomIn/zoomOut (1.01-5.0). Default: 1.5."),
            number("distance", "Pan distance as fraction of image size (0.0-1.0). Default: 0.3."),
            number("intensity", "Shake intensity (0.0-1.0). Default: 0.5."),
            number("degrees", "Rotation degrees (-3600 to 3600). Default: 360."),
            number("fromX", "Ken Burns start rect X (0.0-1.0). Default: 0."),
            number("fromY", "Ken Burns start rect Y (0.0-1.0). Default: 0."),
            number("fromWidth", "Ken Burns start rect width (0.0-1.0). Default: 1."),
            number("fromHeight", "Ken Burns start rect height (0.0-1.0). Default: 1."),
            number("toX", "Ken Burns end rect X. Default: 0.1."),
            number("toY", "Ken Burns end rect Y. Default: 0.1."),
            number("toWidth", "Ken Burns end rect width. Default: 0.8."),
            number("toHeight", "Ken Burns end rect height. Default: 0.8."),
        },
        {"target", "type"}));
}

void appendTransitionTools(Json& tools) {
    tools.push_back(tool(
        ToolName::setClipTransition,
        "Set transition effects between adjacent clips on the timeline. At least one duration "
        "must be provided. Duration 0 removes the transition. Geometric types "
        "(push/wipe/slide/spin/flip/zoom) apply to video clips only; image and text clips "
        "support fade only. Cross-dissolve is video-only.",
        {
            text("target", "The asset name of the clip."),
            number("fadeInDuration", "Fade-in duration in seconds (0 to 5.0). 0 removes fade-in."),
            number("fadeOutDuration",
                   "Fade-out duration in seconds (0 to 5.0). 0 removes fade-out."),
            number("crossDissolveDuration",
                   "Cross-dissolve duration in seconds (0 to 5.0). Blends this clip with the next "
                   "clip. 0 removes the dissolve. Takes precedence over fadeOutDuration."),
            text("type",
                 "Transition type. Default: fade. Geometric types (push/wipe/slide/spin/flip/zoom) "
                 "apply to video clips only; image and text clips support fade only.",
                 {"fade", "clip_push_left", "clip_push_right", "clip_push_up", "clip_push_down",
                  "clip_wipe_left", "clip_wipe_right", "clip_wipe_up", "clip_wipe_down",
                  "clip_slide_left", "clip_slide_right", "clip_slide_up", "clip_slide_down", "spin",
                  "flip", "clip_zoom_in", "clip_zoom_out"}),
            text("easing", "Easing curve for the transition. Default: linear.", easings()),
        },
        {"target"}));
}

void appendUtilityTools(Json& tools) {
    tools.push_back(tool(ToolName::exportVideo, "Export the video to a file.",
                         {
                             text("format", "Export format.", {"mp4", "mov"}),
                         },
                         {"format"}));

    tools.push_back(tool(ToolName::showTutorial,
                         "Show the interactive tutorial to help the user learn how to use the "
                         "app. Use when the user asks for help or usage guidance.",
                         {}, {}));

    tools.push_back(tool(ToolName::undo, "Undo the most recent editing operation.", {}, {}));

    tools.push_back(tool(ToolName::redo, "Redo the most recently undone operation.", {}, {}));
}

} // namespace

Json buildToolDefinitions() {
    Json tools = Json::array();
    appendStructuralTools(tools);
    appendTemporalTools(tools);
    appendAppearanceTools(tools);
    appendGeometryTools(tools);
    appendMotionTools(tools);
    appendTransitionTools(tools);
    appendUtilityTools(tools);
    return tools;
}

} // namespace vexel
