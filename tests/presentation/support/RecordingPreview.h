#pragma once

#include "platform/playback/ManualClock.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "support/RecordingLogger.h"

#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace vexel::test {

// The real preview view model, whose builds only record the project they were
// asked for and then find nothing to play: for tests of what loads the
// preview when, not of what it shows.
class RecordingPreview {
public:
    RecordingPreview()
        : preview(
              3600,
              // Shared with the build, which runs on a worker thread and may
              // end after this object.
              [built = built_](const Project& project, std::stop_token) -> playback::PlayerItem {
                  std::lock_guard lock(built->mutex);
                  built->projects.push_back(project);
                  throw std::runtime_error("nothing to play here");
              },
              [](std::function<void()>) { return std::unique_ptr<DisplayLink>(); }, logger,
              std::make_unique<playback::Player>(
                  clock, std::make_unique<playback::SilentAudioSink>(clock))) {}

    // Every project built so far, in order.
    std::vector<Project> builtProjects() const {
        std::lock_guard lock(built_->mutex);
        return built_->projects;
    }

private:
    struct Built {
        std::mutex mutex;
        std::vector<Project> projects;
    };
    std::shared_ptr<Built> built_ = std::make_shared<Built>();

public:
    std::shared_ptr<vexel::testing::ManualClock> clock =
        std::make_shared<vexel::testing::ManualClock>();
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    PreviewViewModel preview;
};

} // namespace vexel::test
