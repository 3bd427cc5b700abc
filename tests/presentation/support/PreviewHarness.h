#pragma once

#include "data/composition/CompositionBuilder.h"
#include "platform/playback/ManualClock.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/EventLoop.h"
#include "presentation/viewmodels/PreviewItemBuilder.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "support/RecordingLogger.h"
#include "support/RunEventsUntil.h"
#include "support/media/TemporaryFolder.h"

#include <atomic>
#include <memory>

namespace vexel::test {

// The preview as the application builds it: the real player (on a clock that
// moves only when the test moves it, without sound), the real composition
// builder behind PreviewItemBuilder, and no display link. Counts the
// builds it is asked for. The media the tests write go in `folder`.
struct PreviewHarness {
    explicit PreviewHarness(double maxDuration = 3600)
        : preview(
              maxDuration,
              [this](const Project& project, std::stop_token stop) {
                  ++builds;
                  return itemBuilder->build(project, stop);
              },
              [](std::function<void()>) { return std::unique_ptr<DisplayLink>(); }, logger,
              std::make_unique<playback::Player>(
                  clock, std::make_unique<playback::SilentAudioSink>(clock))) {}

    // Loads the project and waits until the load has ended.
    void load(Project project) { awaitTask(preview.loadProject(std::move(project)).finished()); }

    // Waits until the player has handed over the frame at `time`.
    bool waitForFrame(const media::MediaTime& time) {
        return vexel::testing::runEventsUntil([&] {
            const auto& frame = preview.player().currentVideoFrame();
            return frame && frame->time == time;
        });
    }

    vexel::testing::TemporaryFolder folder;
    // The black carrier under overlays is written below the runtime folder.
    vexel::testing::ScopedEnvironment runtime{"XDG_RUNTIME_DIR", folder.path().string()};
    std::shared_ptr<vexel::testing::ManualClock> clock =
        std::make_shared<vexel::testing::ManualClock>();
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    std::shared_ptr<const CompositionBuilder> compositionBuilder =
        std::make_shared<CompositionBuilder>(logger);
    std::shared_ptr<const PreviewItemBuilder> itemBuilder =
        std::make_shared<PreviewItemBuilder>(compositionBuilder);
    std::atomic<int> builds{0};
    PreviewViewModel preview;
};

} // namespace vexel::test
