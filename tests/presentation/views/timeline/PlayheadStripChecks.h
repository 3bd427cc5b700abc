#pragma once

#include "presentation/support/Pointer.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/views/preview/VideoSurface.h"
#include "support/RunEventsUntil.h"
#include "support/media/FreshFrame.h"

#include <QObject>
#include <QPoint>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace vexel::test {

// A strip the playhead is moved on (the ruler, the lanes' background), over a
// preview that plays a 3 s clip at 30 frames a second with a key frame every
// second and paints on `surface`; `at` gives the strip's point for a time.
// A press seeks there at once; once its frame is in, a step nearby shows it
// at once, as a scrub does, where an exact seek never would; the playhead
// follows steps faster than frames decode; and at the release the exact frame
// there ends on screen.
inline void expectPressSeeksAndDragScrubs(Pointer& pointer, const std::function<QPoint(double)>& at,
                                          PreviewViewModel& preview, const VideoSurface& surface) {
    playback::Player& player = preview.player();
    QObject watch;
    std::vector<media::MediaTime> shown;
    QObject::connect(&player, &playback::Player::videoFrameChanged, &watch,
                     [&](const media::VideoFrame& frame) { shown.push_back(frame.time); });
    std::optional<media::MediaTime> painted;
    QObject::connect(
        &surface, &VideoSurface::framePainted, &watch,
        [&](const media::MediaTime& time, const media::MediaTime&) { painted = time; });
    // The frame showing at the playhead: a 600th of a second is a twentieth
    // of a frame.
    const auto playheadFrame = [&] {
        const media::MediaTime time = media::MediaTime::fromSeconds(preview.currentTime());
        return media::MediaTime(time.value() / 20, 30);
    };
    const auto frameShownIs = [&](const media::MediaTime& time) {
        return vexel::testing::runEventsUntil(
            [&] { return player.currentVideoFrame() && player.currentVideoFrame()->time == time; });
    };

    pointer.press(at(0.5));
    EXPECT_NEAR(preview.currentTime(), 0.5, 0.05);
    const media::MediaTime pressed = playheadFrame();
    ASSERT_TRUE(frameShownIs(pressed));
    // A decoded frame shows before it is kept; a step finds it only once kept.
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] {
        const playback::SeekStatistics statistics = player.seekStatistics();
        return statistics.settled == statistics.decoded;
    }));
    const std::size_t before = shown.size();
    pointer.moveTo(at(0.7));
    EXPECT_NEAR(preview.currentTime(), 0.7, 0.05);
    ASSERT_GE(shown.size(), before + 1);
    EXPECT_EQ(shown[before], pressed);
    for (double seconds : {1.0, 1.4, 0.2, 2.1, 2.6}) {
        pointer.moveTo(at(seconds));
        EXPECT_NEAR(preview.currentTime(), seconds, 0.05);
    }
    pointer.release(at(2.6));
    const media::MediaTime rest = playheadFrame();
    ASSERT_GT(rest, media::MediaTime(2, 1));
    ASSERT_TRUE(frameShownIs(rest));
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return painted == rest; }));
    const playback::PlayerItem& item = *player.currentItem();
    EXPECT_TRUE(vexel::testing::samePixels(
        player.currentVideoFrame()->buffer,
        vexel::testing::freshFrame(item.composition, *item.videoComposition, rest)));
}

} // namespace vexel::test
