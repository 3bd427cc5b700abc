#include "domain/usecases/AddClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct AddClipUseCaseTest : ::testing::Test {
    AddClipUseCaseTest() {
        engine.mediaLoader->add("/media/beach.mov", 4);
        engine.mediaLoader->add("/media/song.mp3", 3, TrackType::audio);
    }

    EditEngineHarness engine{Project::makeNew(100)};

    // The use case by the roads the editor takes to it: a target track comes
    // with the add-clip command, a display name with adding a file.
    Project run(const std::string& url, TrackType type, std::optional<double> at,
                std::optional<std::string> name, std::optional<std::string> target) {
        if (target) {
            EXPECT_FALSE(name.has_value()) << "no road takes both";
            return engine.executor.execute(EditCommand::AddClip{url, type, at.value(), target});
        }
        return engine.executor.addClipFromURL(url, type, at, std::move(name));
    }

    Project add(const std::string& url, TrackType type, std::optional<double> at,
                std::optional<std::string> name = {}, std::optional<std::string> target = {}) {
        return engine.change(
            [&] { return run(url, type, at, std::move(name), std::move(target)); });
    }

    std::vector<Track> audioTracks() const {
        std::vector<Track> tracks;
        for (const auto& track : engine.repository->current().tracks) {
            if (track.type == TrackType::audio) {
                tracks.push_back(track);
            }
        }
        return tracks;
    }
};

} // namespace

TEST_F(AddClipUseCaseTest, BuildsAFreshClipOnANewTrackAndUndoes) {
    const Project before = engine.repository->load();
    const Project after = add("/media/beach.mov", TrackType::video, std::nullopt);
    ASSERT_EQ(after.tracks.size(), 4u);
    const Track& video = after.tracks.back();
    EXPECT_EQ(video.name, "Video 1");
    EXPECT_EQ(video.type, TrackType::video);
    ASSERT_EQ(video.clips.size(), 1u);
    const Clip& clip = video.clips[0];
    Clip expected;
    expected.id = clip.id;
    expected.assetName = "beach.mov";
    expected.assetURL = std::filesystem::path("/media/beach.mov");
    expected.trackType = TrackType::video;
    expected.timeRange = {0, 4};
    EXPECT_EQ(clip, expected);
    EXPECT_FALSE(clip.id.isNil());
    engine.expectUndoable(before, after);
}

TEST_F(AddClipUseCaseTest, StartsAfterTheTrackEndOrAtTheGivenTime) {
    add("/media/song.mp3", TrackType::audio, 1.0);
    add("/media/song.mp3", TrackType::audio, 9.5); // ends at 12.5, leaving a gap
    const Project after = add("/media/song.mp3", TrackType::audio, std::nullopt);
    const auto& clips = after.tracks[0].clips;
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[2].timeRange, (TimeRange{12.5, 3}));
    // The caller's type wins over the asset's own kind.
    const Project onImage = add("/media/song.mp3", TrackType::image, std::nullopt);
    EXPECT_EQ(onImage.tracks.back().type, TrackType::image);
    EXPECT_EQ(onImage.tracks.back().clips[0].trackType, TrackType::image);
}

TEST_F(AddClipUseCaseTest, DisplayNameIsSanitizedOrFallsBackToTheFileName) {
    add("/media/beach.mov", TrackType::video, 0.0, std::string("  My\u200B clip\x07  "));
    EXPECT_EQ(engine.repository->current().videoClips().back().assetName, "  My clip  ");
    add("/media/beach.mov", TrackType::video, 10.0, std::string("\x01\x02\u200E"));
    EXPECT_EQ(engine.repository->current().videoClips().back().assetName, "beach.mov");
    add("/media/beach.mov", TrackType::video, 20.0, std::string(300, 'n'));
    EXPECT_EQ(engine.repository->current().videoClips().back().assetName, std::string(255, 'n'));
}

TEST_F(AddClipUseCaseTest, TargetTrackByName) {
    // An existing name of the right type is the target.
    add("/media/song.mp3", TrackType::audio, 0.0, {}, std::string("Audio 2"));
    EXPECT_EQ(audioTracks()[1].clips.size(), 1u);
    // Of another type: mismatch.
    expectEditError([&] { run("/media/beach.mov", TrackType::video, 0.0, {}, "Audio 2"); },
                    EditError::trackTypeMismatch());
    // Unknown name for video: the first video track (or a new one).
    add("/media/beach.mov", TrackType::video, 0.0, {}, std::string("B-roll"));
    EXPECT_EQ(engine.repository->current().tracks.back().name, "Video 1");
    // Unknown name for audio: a new audio track with the sanitized name.
    add("/media/song.mp3", TrackType::audio, 0.0, {}, std::string("\t Voice\u200B over \n"));
    EXPECT_EQ(engine.repository->current().tracks.back().name, "Voice over");
    // Only spaces and control characters: an audio track with an empty name.
    add("/media/song.mp3", TrackType::audio, 0.0, {}, std::string(" \x01 "));
    EXPECT_EQ(engine.repository->current().tracks.back().name, "");
}

TEST_F(AddClipUseCaseTest, AudioTrackLimitAppliesOnlyWhenATrackIsNeeded) {
    for (int i = 0; i < 5; ++i) {
        add("/media/song.mp3", TrackType::audio, 0.0, {}, "Extra " + std::to_string(i));
    }
    ASSERT_EQ(audioTracks().size(), 8u);
    engine.repository->saved.clear();
    expectEditError([&] { run("/media/song.mp3", TrackType::audio, 0.0, {}, "Ninth"); },
                    EditError::maxTracksReached());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_NO_THROW(run("/media/song.mp3", TrackType::audio, 10.0, {}, "Extra 4"));
}

TEST_F(AddClipUseCaseTest, FailuresSaveNothing) {
    add("/media/song.mp3", TrackType::audio, 2.0);
    const Project stored = engine.repository->load();
    engine.repository->saved.clear();
    const int loadsBefore = engine.repository->loadCount;
    // The loader's error passes through unchanged, before the project is read.
    EXPECT_THROW(run("/media/missing.mov", TrackType::video, 0.0, {}, {}), FakeMediaError);
    EXPECT_EQ(engine.repository->loadCount, loadsBefore);
    // Overlap on the target track; touching is fine.
    expectEditError([&] { run("/media/song.mp3", TrackType::audio, 4.0, {}, {}); },
                    EditError::clipOverlap());
    // A new track made for the target is not kept when a later check fails.
    expectEditError([&] { run("/media/song.mp3", TrackType::audio, 97.5, {}, "Late"); },
                    EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(engine.repository->load(), stored);
    EXPECT_NO_THROW(run("/media/song.mp3", TrackType::audio, 5.0, {}, {}));
    EXPECT_NO_THROW(run("/media/song.mp3", TrackType::audio, 97.0, {}, {}));
}

TEST_F(AddClipUseCaseTest, CommandFilesBecomeAbsoluteAndFileNamesBecomeText) {
    // A relative file in a command is resolved against the working folder as
    // the command is unpacked, so the clip does not lose its media later.
    const std::filesystem::path absolute = std::filesystem::current_path() / "take 2.mov";
    engine.mediaLoader->add(absolute, 2);
    const Project after =
        engine.execute(EditCommand::AddClip{"take 2.mov", TrackType::video, 0, std::nullopt});
    EXPECT_EQ(after.videoClips().back().assetURL, absolute);

    // A file name that is not UTF-8 names its clip with U+FFFD in place of the
    // stray byte; the file itself keeps its real name.
    const std::filesystem::path latin1("/media/caf\xE9.mov");
    engine.mediaLoader->add(latin1, 2);
    const Project named =
        engine.execute(EditCommand::AddClip{latin1.string(), TrackType::video, 5, std::nullopt});
    EXPECT_EQ(named.videoClips().back().assetName, "caf\uFFFD.mov");
    EXPECT_EQ(named.videoClips().back().assetURL, latin1);

    // A start at minus infinity ends at no time a project file could hold.
    const double minusInfinity = -std::numeric_limits<double>::infinity();
    expectEditError(
        [&] {
            engine.executor.execute(
                EditCommand::AddClip{latin1.string(), TrackType::video, minusInfinity, {}});
        },
        EditError::exceedsMaxDuration());
    expectEditError(
        [&] { engine.executor.addClipFromURL(latin1, TrackType::video, minusInfinity, {}); },
        EditError::exceedsMaxDuration());
    EXPECT_EQ(engine.repository->current(), named);
}

TEST(AddClipUseCaseSanitizing, TrackAndDisplayNames) {
    EXPECT_EQ(AddClipUseCase::sanitizeTrackName("  Drums\u00A0 "), "Drums");
    EXPECT_EQ(AddClipUseCase::sanitizeTrackName(std::string_view("A\u200DB\0C", 7)), "ABC");
    EXPECT_EQ(AddClipUseCase::sanitizeTrackName(std::string(120, 'x')), std::string(100, 'x'));
    // Characters, not bytes: 101 flags are cut to 100.
    std::string flags;
    for (int i = 0; i < 101; ++i) {
        flags += "\U0001F1E9\U0001F1EA";
    }
    EXPECT_EQ(AddClipUseCase::sanitizeTrackName(flags), flags.substr(0, 800));
    EXPECT_EQ(AddClipUseCase::sanitizeDisplayName(std::nullopt), std::nullopt);
    EXPECT_EQ(AddClipUseCase::sanitizeDisplayName(std::string()), std::nullopt);
    EXPECT_EQ(AddClipUseCase::sanitizeDisplayName(std::string(" a b ")), " a b ");
}
