#include "data/repositories/InMemoryProjectRepository.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace vexel;

namespace {

Project projectWith(int clipCount, double maxDuration) {
    Track track{Uuid::random(), TrackType::video, "Video 1", {}, false};
    for (int i = 0; i < clipCount; ++i) {
        track.clips.push_back(Clip{.id = Uuid::random(),
                                   .assetName = "clip.mov",
                                   .timeRange = {static_cast<double>(i), 1}});
    }
    return Project{{track}, maxDuration};
}

} // namespace

TEST(InMemoryProjectRepository, LoadIsACopyAndSaveReplacesTheWholeProject) {
    const Project initial{{}, 3600};
    InMemoryProjectRepository repository(initial);
    Project loaded = repository.load();
    EXPECT_EQ(loaded, initial);
    loaded.tracks.push_back(Track{Uuid::random(), TrackType::audio, "Audio 1", {}, true});
    EXPECT_EQ(repository.load(), initial); // not changed until saved

    const Project next = projectWith(3, 120);
    repository.save(next);
    EXPECT_EQ(repository.load(), next);
}

TEST(InMemoryProjectRepository, ReadersNeverSeeAHalfReplacedProject) {
    // Each project's clip count is tied to its maximum duration, so a torn read
    // would show a mismatch.
    InMemoryProjectRepository repository(projectWith(0, 0));
    std::jthread writer([&](std::stop_token stop) {
        for (int i = 1; !stop.stop_requested(); i = i % 20 + 1) {
            repository.save(projectWith(i, i));
        }
    });
    for (int i = 0; i < 2000; ++i) {
        const Project project = repository.load();
        ASSERT_EQ(static_cast<double>(project.tracks.at(0).clips.size()), project.maxDuration);
    }
}
