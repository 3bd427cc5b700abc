#pragma once

#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MutableComposition.h"
#include "platform/playback/Player.h"
#include "platform/playback/SilentAudioSink.h"
#include "support/RunEventsUntil.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vexel::bench {

// The first video track of `asset`, whole, shown at 1920 x 1080 in the
// player's layer form.
inline playback::PlayerItem wholeClip(const std::shared_ptr<const media::Asset>& asset) {
    using namespace media;
    MutableComposition composition;
    CompositionTrack* track = composition.addTrack(MediaType::video);
    const MediaTimeRange range{MediaTime::zero(), asset->duration};
    track->insertTimeRange(range, asset, asset->firstTrack(MediaType::video)->trackID,
                           MediaTime::zero());
    playback::PlayerItem item{composition.copy()};
    VideoComposition video;
    video.renderSize = {1920, 1080};
    VideoCompositionLayerInstruction layer;
    layer.trackID = track->trackID();
    video.instructions = {std::make_shared<LayerVideoCompositionInstruction>(
        range, std::vector<VideoCompositionLayerInstruction>{layer})};
    item.videoComposition = std::move(video);
    return item;
}

struct PlayedThrough {
    // The frames handed over, by their index at 30 a second, the first one
    // (shown before playing) included.
    std::vector<std::int64_t> indices;
    // Handed over after the next frame was due.
    std::int64_t late = 0;
    // From asking to play to the end.
    double seconds = 0;
};

// Plays `item` through in real time on a new player without sound, once its
// first frame shows (when `shown` is called first); `handed` is called at
// every frame.
inline PlayedThrough playThrough(const playback::PlayerItem& item,
                                 const std::function<void()>& shown = {},
                                 const std::function<void()>& handed = {}) {
    using namespace playback;
    auto clock = std::make_shared<SteadyMonotonicClock>();
    Player player(clock, std::make_unique<SilentAudioSink>(clock));
    PlayedThrough played;
    QObject::connect(&player, &Player::videoFrameChanged, [&](const media::VideoFrame& frame) {
        if (player.timeControlStatus() == TimeControlStatus::playing &&
            player.currentTime() >= frame.time + frame.duration) {
            ++played.late;
        }
        played.indices.push_back(frame.time.value() * 30 / frame.time.timescale());
        if (handed) {
            handed();
        }
    });
    player.replaceCurrentItem(item);
    testing::runEventsUntil([&] { return !played.indices.empty(); }, std::chrono::seconds(30));
    if (shown) {
        shown();
    }
    const auto start = std::chrono::steady_clock::now();
    player.play();
    testing::runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::paused; },
                            std::chrono::seconds(60));
    played.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return played;
}

} // namespace vexel::bench
