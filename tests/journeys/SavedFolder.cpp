#include "journeys/SavedFolder.h"

#include "data/persistence/ProjectPersistenceService.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "support/FileContents.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace vexel::journeys {

Project checkSavedFolder(const std::filesystem::path& folder, const Project& shown) {
    std::vector<std::filesystem::path> projectFiles;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().filename() == ProjectPersistenceService::projectFileName) {
            projectFiles.push_back(entry.path());
        }
    }
    EXPECT_EQ(projectFiles, std::vector{folder / ProjectPersistenceService::projectFileName});

    const Project saved = ProjectPersistenceService().load(folder);
    Project relocated = saved;
    EXPECT_EQ(saved.tracks.size(), shown.tracks.size());
    for (std::size_t t = 0; t < saved.tracks.size() && t < shown.tracks.size(); ++t) {
        std::vector<Clip>& clips = relocated.tracks[t].clips;
        const std::vector<Clip>& shownClips = shown.tracks[t].clips;
        EXPECT_EQ(clips.size(), shownClips.size());
        for (std::size_t c = 0; c < clips.size() && c < shownClips.size(); ++c) {
            if (clips[c].assetURL && shownClips[c].assetURL) {
                EXPECT_EQ(clips[c].assetURL->parent_path(), folder / "assets");
                EXPECT_EQ(test::readFile(*clips[c].assetURL),
                          test::readFile(*shownClips[c].assetURL));
                clips[c].assetURL = shownClips[c].assetURL;
            }
        }
    }
    EXPECT_EQ(relocated, shown);
    return saved;
}

void reopenSavedFolder(const JourneyHome& home, const char* step,
                       const std::filesystem::path& folder,
                       const std::filesystem::path& shownFile) {
    const Project saved = checkSavedFolder(folder, readProject(shownFile));
    const std::filesystem::path savedFile = home / "saved-project.json";
    writeProject(saved, savedFile);
    ChildSession reopened(step, {argument(folder), argument(savedFile)}, home.environment());
    EXPECT_TRUE(reopened.succeeds(std::chrono::seconds(120)))
        << "the reopened editor's checks failed";
}

} // namespace vexel::journeys
