#include "presentation/views/timeline/DraggableClipBar.h"

#include "data/audio/WaveformService.h"
#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/viewmodels/WaveformLoader.h"
#include "presentation/views/timeline/TrackRow.h"
#include "support/RunEventsUntil.h"
#include "support/media/TemporaryFolder.h"
#include "support/media/WavWriter.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <numbers>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;
using vexel::testing::runEventsUntil;

namespace {

// One second of sound: a full-scale tone, then silence.
void writeHalfLoudWav(const std::filesystem::path& path) {
    std::vector<std::int16_t> samples(44100, 0);
    for (std::size_t i = 0; i < samples.size() / 2; ++i) {
        samples[i] = static_cast<std::int16_t>(
            32767 * std::sin(2 * std::numbers::pi * 441.0 * static_cast<double>(i) / 44100));
    }
    vexel::testing::writeWav(path, 44100, 1, samples);
}

// Lets the extractions through when the test says.
class Gate {
public:
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    void pass() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [&] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

Clip soundClip(const std::filesystem::path& file, double start, double duration) {
    Clip clip = makeClip(start, duration, TrackType::audio, "tone.wav");
    clip.assetURL = file;
    return clip;
}

TEST(DraggableClipBarTest, DrawsTheSoundOfItsFileLoadedOnceForEveryBarThatShowsIt) {
    vexel::testing::TemporaryFolder folder;
    const std::filesystem::path file = folder / "tone.wav";
    writeHalfLoudWav(file);

    WaveformService service;
    WaveformCache cache;
    Gate gate;
    std::atomic<int> extractions = 0;
    auto loader = std::make_unique<WaveformLoader>(
        cache, [&](const std::filesystem::path& path, int buckets, std::stop_token stop) {
            ++extractions;
            gate.pass();
            return service.extract(path, buckets, stop);
        });

    // Three bars of the one file, 100 px a second; one of them goes while the
    // file is read.
    const Clip whole = soundClip(file, 0, 10);
    const Clip second = soundClip(file, 20, 5);
    const Clip gone = soundClip(file, 40, 5);
    QWidget window;
    window.resize(1000, 40);
    auto* row = new TrackRow(nullptr, loader.get(), &window);
    row->setGeometry(0, 0, 7000, 40);
    row->setMaxDuration(70);
    row->setTrack(makeTrack(TrackType::audio, "Audio 1", {whole, second, gone}));
    window.show();
    DraggableClipBar* bar = row->bar(whole.id);
    const QImage silent = bar->grab().toImage();

    row->setTrack(makeTrack(TrackType::audio, "Audio 1", {whole, second}));
    test::settle();
    gate.open();
    ASSERT_TRUE(runEventsUntil([&] { return bar->waveformSamples() != nullptr; }));
    EXPECT_EQ(extractions, 1);
    EXPECT_EQ(row->bar(second.id)->waveformSamples(), bar->waveformSamples());
    const std::vector<float>& levels = bar->waveformSamples()->values();
    ASSERT_EQ(levels.size(), 200u);
    EXPECT_GT(levels[50], 0.95f);
    EXPECT_EQ(levels[150], 0.0f);

    // Drawn: light bars over the loud half, the plain colour over the silence.
    const QImage drawn = bar->grab().toImage();
    EXPECT_NE(drawn.pixelColor(200, 4), silent.pixelColor(200, 4));
    EXPECT_GT(drawn.pixelColor(200, 4).lightness(), silent.pixelColor(200, 4).lightness());
    EXPECT_EQ(drawn.pixelColor(800, 4), silent.pixelColor(800, 4));

    // A new bar of the file finds it in the cache.
    row->setTrack(makeTrack(TrackType::audio, "Audio 1", {whole, second, soundClip(file, 60, 1)}));
    EXPECT_NE(row->bars().back()->waveformSamples(), nullptr);
    EXPECT_EQ(extractions, 1);
    loader.reset();
}

} // namespace
