#include "domain/usecases/AddAudioEffectUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

std::vector<AudioEffectKind> kinds(const Clip& clip) {
    std::vector<AudioEffectKind> result;
    for (const AudioEffect& effect : clip.audioEffects.value_or(std::vector<AudioEffect>{})) {
        result.push_back(effect.type.kind());
    }
    return result;
}

struct AddAudioEffectUseCaseTest : ::testing::Test {
    Clip song = makeClip(0, 8, TrackType::audio, "song.mp3");
    Clip voice = makeClip(0, 8, TrackType::audio, "voice.wav");
    Clip video = makeClip(0, 8);
    Clip title = makeClip(0, 4, TrackType::text, "Title");
    Track music = makeTrack(TrackType::audio, "Audio 1", {song}, true);
    Track voices = makeTrack(TrackType::audio, "Audio 2", {voice}, true);
    Track videos = makeTrack(TrackType::video, "Video 1", {video});
    Track texts = makeTrack(TrackType::text, "Text 1", {title});
    EditEngineHarness engine{Project{{videos, texts, music, voices}, 60}};
    UseCaseDriver<AddAudioEffectUseCase> useCase{engine};

    Clip stored(const Uuid& id) const { return *engine.repository->current().findClip(id); }
    void add(AudioEffectType type) { useCase.execute(song.id, AudioEffect{std::move(type)}); }
    void expectRejected(AudioEffectType type, const EditError& error) {
        expectEditError([&] { add(std::move(type)); }, error);
    }
};

} // namespace

TEST_F(AddAudioEffectUseCaseTest, KeepsEffectsInTheFixedKindOrder) {
    add(AudioEffectType::compressor(-20, 4));
    const Project after = useCase.execute(song.id, AudioEffect{AudioEffectType::pan(-0.5)});
    EXPECT_EQ(kinds(*after.findClip(song.id)),
              (std::vector{AudioEffectKind::pan, AudioEffectKind::compressor}));
    EXPECT_EQ(after.findClip(song.id)->audioEffects->front(),
              AudioEffect{AudioEffectType::pan(-0.5)});

    useCase.execute(voice.id, AudioEffect{AudioEffectType::ducking(music.id, 12)});
    useCase.execute(voice.id, AudioEffect{AudioEffectType::eq({{100, 3, 1}})});
    useCase.execute(voice.id, AudioEffect{AudioEffectType::reverb(0.3)});
    EXPECT_EQ(kinds(stored(voice.id)), (std::vector{AudioEffectKind::reverb, AudioEffectKind::eq,
                                                    AudioEffectKind::ducking}));
}

TEST_F(AddAudioEffectUseCaseTest, OneEffectPerKindAndAtMostEight) {
    add(AudioEffectType::reverb(0.2));
    engine.repository->saved.clear();
    expectRejected(AudioEffectType::reverb(0.9), EditError::duplicateAudioEffect());
    // Even an invalid second reverb is refused as a duplicate first.
    expectRejected(AudioEffectType::reverb(7), EditError::duplicateAudioEffect());
    EXPECT_EQ(stored(song.id).audioEffects->front(), AudioEffect{AudioEffectType::reverb(0.2)});

    // Eight stored effects (as a file could hold) refuse a ninth of a new kind.
    Clip crowded = song;
    crowded.audioEffects = std::vector<AudioEffect>(8, AudioEffect{AudioEffectType::reverb(0.1)});
    engine.repository->save(engine.repository->load().replacingClip(crowded));
    engine.repository->saved.clear();
    expectRejected(AudioEffectType::pan(0), EditError::maxAudioEffectsReached());
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST_F(AddAudioEffectUseCaseTest, ParametersMustBeWithinTheirRanges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const EditError invalid = EditError::invalidAudioEffectParameter();
    expectRejected(AudioEffectType::pan(1.01), invalid);
    expectRejected(AudioEffectType::pan(nan), invalid);
    expectRejected(AudioEffectType::pitchShift(-12.5), invalid);
    expectRejected(AudioEffectType::reverb(nan), invalid);
    expectRejected(AudioEffectType::normalize(0.1), invalid);
    expectRejected(AudioEffectType::normalize(-inf), invalid);
    expectRejected(AudioEffectType::compressor(-61, 4), invalid);
    expectRejected(AudioEffectType::compressor(-20, 0.5), invalid);
    expectRejected(AudioEffectType::ducking(music.id, 41), invalid);
    expectRejected(AudioEffectType::eq({}), invalid);
    expectRejected(AudioEffectType::eq(std::vector<EQBand>(11, EQBand{1000, 0, 1})), invalid);
    expectRejected(AudioEffectType::eq({{20001, 0, 1}}), invalid);
    expectRejected(AudioEffectType::eq({{1000, 24.5, 1}}), invalid);
    expectRejected(AudioEffectType::eq({{1000, 0, 0.04}}), invalid);
    expectRejected(AudioEffectType::eq({{1000, 0, 1}, {1000, nan, 1}}), invalid);
    EXPECT_TRUE(engine.repository->saved.empty());

    add(AudioEffectType::eq({{20, -24, 0.05}, {20000, 24, 5.0}}));
    add(AudioEffectType::pan(-1));
    add(AudioEffectType::pitchShift(12));
    add(AudioEffectType::normalize(-40));
    add(AudioEffectType::compressor(0, 20));
    EXPECT_EQ(stored(song.id).audioEffects->size(), 5u);
}

TEST_F(AddAudioEffectUseCaseTest, DuckingNeedsAnotherVideoOrAudioTrack) {
    const Uuid unknown = Uuid::random();
    for (const Uuid& reference : {music.id, texts.id, unknown}) {
        expectRejected(AudioEffectType::ducking(reference, 10),
                       EditError::duckingReferenceTrackNotFound(reference));
    }
    EXPECT_TRUE(engine.repository->saved.empty());
    add(AudioEffectType::ducking(voices.id, 10));
    useCase.execute(voice.id, AudioEffect{AudioEffectType::ducking(videos.id, 0)});
    EXPECT_EQ(kinds(stored(voice.id)), std::vector{AudioEffectKind::ducking});
}
