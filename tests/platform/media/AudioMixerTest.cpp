#include "platform/media/AudioMixer.h"
#include "platform/media/MutableComposition.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>
#include <memory>

using namespace vexel::media;
using vexel::testing::TemporaryFolder;
using vexel::testing::TestMovie;
using vexel::testing::writeTestMovie;

namespace {

MediaTime seconds(double s) {
    return MediaTime::fromSeconds(s);
}

// A 2 s file holding a 440 Hz tone at 12000 / 32768 of full scale.
class AudioMixerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TemporaryFolder();
        writeTestMovie(*folder_ / "tone.m4a", TestMovie{.hasVideo = false});
        tone_ = std::make_shared<const Asset>(Asset::load(*folder_ / "tone.m4a"));
    }
    static void TearDownTestSuite() {
        tone_.reset();
        delete folder_;
    }

    static std::shared_ptr<const Asset> tone() { return tone_; }
    static int audioTrack() { return tone_->firstTrack(MediaType::audio)->trackID; }

    static std::vector<float> mixAll(AudioMixer& mixer) {
        std::vector<float> all;
        std::optional<MediaTime> next;
        while (auto run = mixer.next(4096)) {
            EXPECT_EQ(run->sampleRate, 44100);
            EXPECT_EQ(run->channelCount, 2);
            if (next) {
                EXPECT_EQ(run->time, *next);
            }
            next = run->time + run->duration();
            all.insert(all.end(), run->samples.begin(), run->samples.end());
        }
        return all;
    }

private:
    static inline TemporaryFolder* folder_ = nullptr;
    static inline std::shared_ptr<const Asset> tone_;
};

// Root mean square of the left channel over frames [from, to).
double loudness(const std::vector<float>& stereo, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += stereo[2 * i] * stereo[2 * i];
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

// The frequency of a pure tone from its rising zero crossings.
double dominantFrequency(const std::vector<float>& stereo, std::size_t from, std::size_t to) {
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) {
            ++crossings;
        }
    }
    return crossings * 44100.0 / static_cast<double>(to - from);
}

const double kToneLoudness = 12000.0 / 32768 / std::sqrt(2.0);

} // namespace

TEST_F(AudioMixerTest, MixHoldsExactlyTheCompositionsSamplesWithVolumesGapsAndSums) {
    MutableComposition composition;
    CompositionTrack* first = composition.addTrack(MediaType::audio);
    CompositionTrack* second = composition.addTrack(MediaType::audio);
    first->insertTimeRange({seconds(0), seconds(1)}, tone(), audioTrack(), seconds(0));
    second->insertTimeRange({seconds(0), seconds(0.5)}, tone(), audioTrack(), seconds(1));
    AudioMix mix;
    AudioMixInputParameters quiet(first->trackID());
    quiet.setVolume(0.5f, seconds(0));
    mix.inputParameters.push_back(quiet);

    AudioMixer mixer(composition.copy(), mix);
    EXPECT_EQ(mixer.remainingFrames(), 66150);
    std::vector<float> all = mixAll(mixer);
    ASSERT_EQ(all.size(), 2u * 66150);
    EXPECT_NEAR(loudness(all, 2000, 40000), 0.5 * kToneLoudness, 0.01);
    EXPECT_NEAR(loudness(all, 46000, 64000), kToneLoudness, 0.02);
    EXPECT_NEAR(dominantFrequency(all, 46000, 64000), 440, 5);

    // Both tracks at once sum: the same tone twice, in phase, is twice as loud.
    MutableComposition twice;
    for (int i = 0; i < 2; ++i) {
        twice.addTrack(MediaType::audio)
            ->insertTimeRange({seconds(0), seconds(1)}, tone(), audioTrack(), seconds(0));
    }
    AudioMixer doubled(twice.copy(), std::nullopt);
    std::vector<float> sum = mixAll(doubled);
    ASSERT_EQ(sum.size(), 2u * 44100);
    EXPECT_NEAR(loudness(sum, 2000, 40000), 2 * kToneLoudness, 0.03);

    // A gap is silent; a mix started later (a seek) holds the rest, alike.
    MutableComposition gapped;
    gapped.addTrack(MediaType::audio)
        ->insertTimeRange({seconds(0), seconds(0.5)}, tone(), audioTrack(), seconds(1));
    AudioMixer fromStart(gapped.copy(), std::nullopt);
    std::vector<float> whole = mixAll(fromStart);
    ASSERT_EQ(whole.size(), 2u * 66150);
    EXPECT_EQ(loudness(whole, 0, 44100), 0.0);
    AudioMixer seeked(gapped.copy(), std::nullopt, seconds(1.25));
    std::vector<float> rest = mixAll(seeked);
    ASSERT_EQ(rest.size(), 2u * (66150 - 55125));
    EXPECT_NEAR(loudness(rest, 2000, 10000), loudness(whole, 57125, 65125), 0.01);
}

TEST_F(AudioMixerTest, DoubleSpeedHalvesTheLengthAndKeepsThePitch) {
    MutableComposition composition;
    CompositionTrack* track = composition.addTrack(MediaType::audio);
    track->insertTimeRange({seconds(0), seconds(2)}, tone(), audioTrack(), seconds(0));
    track->scaleTimeRange({seconds(0), seconds(2)}, seconds(1));

    AudioMixer mixer(composition.copy(), std::nullopt);
    std::vector<float> all = mixAll(mixer);
    ASSERT_EQ(all.size(), 2u * 44100);
    EXPECT_NEAR(dominantFrequency(all, 4000, 40000), 440, 8);
    EXPECT_NEAR(loudness(all, 4000, 40000), kToneLoudness, 0.03);

    // A quarter speed, through chained stages: four times as long, same pitch.
    MutableComposition slow;
    CompositionTrack* stretched = slow.addTrack(MediaType::audio);
    stretched->insertTimeRange({seconds(0), seconds(0.5)}, tone(), audioTrack(), seconds(0));
    stretched->scaleTimeRange({seconds(0), seconds(0.5)}, seconds(2));
    AudioMixer slowMixer(slow.copy(), std::nullopt);
    std::vector<float> slowAll = mixAll(slowMixer);
    ASSERT_EQ(slowAll.size(), 2u * 88200);
    EXPECT_NEAR(dominantFrequency(slowAll, 8000, 80000), 440, 8);
}

TEST_F(AudioMixerTest, ThousandsOfTracksMixInTheMemoryOfAFew) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the heap, which this measures";
#endif
    // A project of thousands of clips: a track each, nearly all silent at any
    // time. Two tones play at the start, on the first track and on the last.
    MutableComposition composition;
    composition.addTrack(MediaType::audio)
        ->insertTimeRange({seconds(0), seconds(1)}, tone(), audioTrack(), seconds(0));
    for (int i = 0; i < 2000; ++i) {
        composition.addTrack(MediaType::audio)
            ->insertTimeRange({seconds(0), seconds(1)}, tone(), audioTrack(), seconds(10 + i));
    }
    composition.addTrack(MediaType::audio)
        ->insertTimeRange({seconds(0), seconds(1)}, tone(), audioTrack(), seconds(0));
    const Composition copy = composition.copy();

    const auto heapInUse = [] {
        const struct mallinfo2 heap = mallinfo2();
        return heap.uordblks + heap.hblkhd;
    };
    const std::size_t before = heapInUse();
    AudioMixer mixer(copy, std::nullopt);
    const std::optional<FloatAudioSamples> run = mixer.next(8192);
    // A buffer a track would be 2002 x 64 KiB.
    EXPECT_LT(heapInUse() - before, std::size_t{24} << 20);
    ASSERT_TRUE(run);
    ASSERT_EQ(run->samples.size(), 2u * 8192);
    EXPECT_NEAR(loudness(run->samples, 2000, 8000), 2 * kToneLoudness, 0.03);
}
