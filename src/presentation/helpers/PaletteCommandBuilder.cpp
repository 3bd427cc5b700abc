#include "presentation/helpers/PaletteCommandBuilder.h"

namespace vexel {

std::vector<std::string> PaletteCommandBuilder::buildCommands(const Project& project) {
    std::vector<std::string> commands;
    for (const Track& track : project.tracks) {
        if (track.type == TrackType::text) {
            continue;
        }
        for (const Clip& clip : track.clips) {
            const std::string& name = clip.assetName;
            commands.insert(commands.end(), {"Move " + name + " to timestamp", "Trim " + name,
                                             "Duplicate " + name, "Remove " + name});
            if (clip.trackType != TrackType::image) {
                commands.insert(commands.end(), {"Adjust volume of " + name, "Set speed of " + name,
                                                 "Fade in " + name, "Fade out " + name});
            }
            if (clip.trackType == TrackType::video || clip.trackType == TrackType::image) {
                commands.insert(commands.end(),
                                {"Set opacity of " + name, "Adjust colors of " + name,
                                 "Rotate " + name, "Flip " + name, "Crop " + name,
                                 "Cross-dissolve " + name});
            }
        }
    }
    for (const Clip& text : project.textClips()) {
        commands.push_back("Remove text: " + text.assetName);
    }
    commands.insert(commands.end(), {"Add clip to timeline", "Add text to timeline"});
    return commands;
}

} // namespace vexel
