#include "presentation/views/timeline/DraggableClipBar.h"

#include "data/audio/WaveformService.h"
#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/Pointer.h"
#include "presentation/support/Screenshot.h"
#include "presentation/viewmodels/WaveformLoader.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/timeline/TrackRow.h"
#include "support/RecordingLogger.h"
#include "support/RunEventsUntil.h"
#include "support/media/TemporaryFolder.h"
#include "support/media/WavWriter.h"

#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

// Lanes as the timeline shows them: 600 px over 30 s, 44 px high, on the
// window's background.
struct Lanes {
    explicit Lanes(WaveformLoader* waveforms = nullptr) {
        window.setAutoFillBackground(true);
        window.resize(620, 20 + 2 * 45);
        for (int i = 0; i < 2; ++i) {
            rows.push_back(new TrackRow(&icons, waveforms, &window));
            rows.back()->setGeometry(10, 10 + i * 45, 600, 44);
            rows.back()->setMaxDuration(30);
            rows.back()->setLaneHeight(44);
        }
        window.show();
    }

    IconRegistry icons{std::make_shared<test::RecordingLogger>()};
    QWidget window;
    std::vector<TrackRow*> rows;
};

TEST(ClipBarScreenshotTest, SelectedSnappingWaveformAndEffectBadge) {
    Clip intro = makeClip(0, 6, TrackType::video, "intro.mov");
    Clip beach = makeClip(7, 9, TrackType::video, "beach at sunset with friends.mov");
    Clip city = makeClip(17, 8, TrackType::video, "city.mov");
    beach.colorAdjust = ColorAdjust{0.2, 1.1, 1.0};
    {
        Lanes lanes;
        lanes.rows[0]->setTrack(makeTrack(TrackType::video, "Video 1", {intro, beach, city}));
        lanes.rows[1]->setTrack(
            makeTrack(TrackType::image, "Image 1", {makeClip(2, 5, TrackType::image, "logo.png")}));
        lanes.rows[0]->setSelectedClipId(beach.id);
        test::saveScreenshot(lanes.window, "clip-bar-selected.png");
        test::saveScreenshot(*lanes.rows[0]->bar(beach.id), "clip-bar-effect-badge.png");
        EXPECT_TRUE(lanes.rows[0]->bar(beach.id)->isSelected());

        // City dragged left until its start is caught by the beach's end.
        lanes.rows[0]->setSelectedClipId(city.id);
        test::Pointer pointer(lanes.window);
        pointer.press({10 + 400, 30}).moveTo({10 + 380, 30}).moveTo({10 + 384, 30});
        ASSERT_EQ(lanes.rows[0]->bar(city.id)->activeSnapPoint(), 16.0);
        const QImage snapping = test::saveScreenshot(lanes.window, "clip-bar-snap-guide.png");
        // The guide runs along the city bar's leading edge, over its outline:
        // blue there, white along the other edge.
        const QColor guide = snapping.pixelColor(10 + 320 + 1, 30);
        const QColor outline = snapping.pixelColor(10 + 480 - 1, 30);
        EXPECT_LT(guide.red(), guide.blue());
        EXPECT_EQ(outline, QColor(Qt::white));
        pointer.release({10 + 384, 30});
    }

    vexel::testing::TemporaryFolder folder;
    const std::filesystem::path file = folder / "voice.wav";
    std::vector<std::int16_t> samples(44100 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 44100;
        const double envelope = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 0.7 * t);
        samples[i] =
            static_cast<std::int16_t>(30000 * envelope * std::sin(2 * std::numbers::pi * 220 * t));
    }
    vexel::testing::writeWav(file, 44100, 1, samples);
    WaveformService service;
    WaveformCache cache;
    WaveformLoader loader(
        cache, [&](const std::filesystem::path& path, int buckets, std::stop_token stop) {
            return service.extract(path, buckets, stop);
        });
    Lanes lanes(&loader);
    Clip voice = makeClip(1, 20, TrackType::audio, "voice.wav");
    voice.assetURL = file;
    lanes.rows[0]->setTrack(makeTrack(TrackType::audio, "Audio 1", {voice}));
    lanes.rows[1]->setTrack(makeTrack(TrackType::audio, "Audio 2"));
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return lanes.rows[0]->bar(voice.id)->waveformSamples() != nullptr; }));
    test::saveScreenshot(lanes.window, "clip-bar-waveform.png");
}

} // namespace
