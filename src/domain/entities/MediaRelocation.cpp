#include "domain/entities/MediaRelocation.h"

namespace vexel {

Project MediaRelocation::applied(Project project) const {
    if (copies.empty()) {
        return project;
    }
    for (Track& track : project.tracks) {
        for (Clip& clip : track.clips) {
            if (!clip.assetURL) {
                continue;
            }
            if (auto copy = copies.find(*clip.assetURL); copy != copies.end()) {
                clip.assetURL = copy->second;
            }
        }
    }
    return project;
}

} // namespace vexel
