#include "domain/entities/Project.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

using Names = std::vector<std::string>;

TEST(Project, LanesOfAnEmptyProjectArePlaceholdersInLaneOrder) {
    std::vector<Track> lanes = Project{}.allTrackLanes();
    ASSERT_EQ(lanes.size(), 4u);
    const TrackType expected[] = {TrackType::video, TrackType::image, TrackType::text,
                                  TrackType::audio};
    const char* words[] = {"Video", "Image", "Text", "Audio"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lanes[i].type, expected[i]);
        EXPECT_EQ(lanes[i].id.string(),
                  "00000000-0000-0000-0000-00000000000" + std::to_string(i + 1));
        EXPECT_EQ(lanes[i].name, words[i]);
        EXPECT_TRUE(lanes[i].clips.empty());
        EXPECT_FALSE(lanes[i].isDefault);
    }
}

TEST(Project, LanesGroupTracksByTypeAndFillOnlyMissingTypes) {
    Track audio = makeTrack(TrackType::audio, "Audio 1", {}, true);
    Track text = makeTrack(TrackType::text, "Text 1", {makeClip(0, 1, TrackType::text)});
    Track video2 = makeTrack(TrackType::video, "Video 2", {makeClip(0, 1)});
    Track video1 = makeTrack(TrackType::video, "Video 1", {makeClip(0, 1)});
    Project project{{audio, text, video2, video1}};

    std::vector<Track> lanes = project.allTrackLanes();
    ASSERT_EQ(lanes.size(), 5u);
    EXPECT_EQ(lanes[0], video2);
    EXPECT_EQ(lanes[1], video1);
    EXPECT_EQ(lanes[2].id, placeholderTrackID(TrackType::image));
    EXPECT_EQ(lanes[3], text);
    EXPECT_EQ(lanes[4], audio);
    // Placeholders are never stored.
    EXPECT_EQ(project.tracks.size(), 4u);
}

TEST(Project, NewProjectHasTheThreeDefaultAudioTracks) {
    Project project = Project::makeNew();
    EXPECT_EQ(project.maxDuration, 3600);
    EXPECT_EQ(trackNames(project), (Names{"Audio 1", "Audio 2", "Audio 3"}));
    for (const Track& track : project.tracks) {
        EXPECT_EQ(track.type, TrackType::audio);
        EXPECT_TRUE(track.isDefault);
        EXPECT_TRUE(track.clips.empty());
    }
    EXPECT_NE(project.tracks[0].id, project.tracks[1].id);
}

TEST(Project, EnsuringDefaultAudioTracksOrdersAndCompletes) {
    // Already normal: unchanged.
    Project normal{{makeTrack(TrackType::video, "Video 1", {makeClip(0, 1)}),
                    makeTrack(TrackType::audio, "Audio 1", {}, true),
                    makeTrack(TrackType::audio, "Audio 2", {}, true),
                    makeTrack(TrackType::audio, "Audio 3", {}, true)},
                   120};
    EXPECT_EQ(normal.ensuringDefaultAudioTracks(), normal);

    // Missing defaults come after the other audio tracks; non-audio tracks first.
    Track audio2 = makeTrack(TrackType::audio, "Audio 2", {makeClip(0, 1, TrackType::audio)});
    Track music = makeTrack(TrackType::audio, "Music");
    Track video = makeTrack(TrackType::video, "Video 1", {makeClip(0, 1)});
    Project restored = Project{{audio2, music, video}, 99}.ensuringDefaultAudioTracks();
    EXPECT_EQ(trackNames(restored), (Names{"Video 1", "Audio 2", "Music", "Audio 1", "Audio 3"}));
    EXPECT_EQ(restored.tracks[1], audio2);
    EXPECT_EQ(restored.tracks[2], music);
    EXPECT_TRUE(restored.tracks[3].isDefault);
    EXPECT_TRUE(restored.tracks[4].isDefault);
    EXPECT_EQ(restored.maxDuration, 99);

    // Other audio tracks sort by code point: digits before letters, upper before lower.
    Project sorted =
        Project{{makeTrack(TrackType::audio, "ambient"), makeTrack(TrackType::audio, "Audio 4"),
                 makeTrack(TrackType::audio, "Audio 10"), makeTrack(TrackType::audio, "Zoë"),
                 makeTrack(TrackType::audio, "Zoe"),
                 makeTrack(TrackType::audio, "Audio 3", {}, false)}}
            .ensuringDefaultAudioTracks();
    EXPECT_EQ(trackNames(sorted), (Names{"Audio 3", "Audio 10", "Audio 4", "Zoe", "Zoë", "ambient",
                                         "Audio 1", "Audio 2"}));
    // A kept default track keeps its own flag.
    EXPECT_FALSE(sorted.tracks[0].isDefault);
}

TEST(Project, EnsuringDefaultAudioTracksNeverDropsClips) {
    Clip a = makeClip(0, 1, TrackType::audio);
    Clip b = makeClip(1, 1, TrackType::audio);
    Track emptyFirst = makeTrack(TrackType::audio, "Audio 1", {}, true);
    Track withClips = makeTrack(TrackType::audio, "Audio 1", {a});
    Track withOtherClips = makeTrack(TrackType::audio, "Audio 1", {b});
    Track emptyLater = makeTrack(TrackType::audio, "Audio 1");

    // A clip-holding track replaces an empty one of the same name.
    Project replaced = Project{{emptyFirst, withClips}}.ensuringDefaultAudioTracks();
    EXPECT_EQ(trackNames(replaced), (Names{"Audio 1", "Audio 2", "Audio 3"}));
    EXPECT_EQ(replaced.tracks[0], withClips);

    // An empty duplicate is dropped, whichever comes first.
    Project dropped = Project{{withClips, emptyLater, emptyFirst}}.ensuringDefaultAudioTracks();
    EXPECT_EQ(trackNames(dropped), (Names{"Audio 1", "Audio 2", "Audio 3"}));
    EXPECT_EQ(dropped.tracks[0], withClips);

    // Two clip-holding tracks of one name are both kept, in their order.
    Project both = Project{{withClips, emptyLater, withOtherClips}}.ensuringDefaultAudioTracks();
    EXPECT_EQ(trackNames(both), (Names{"Audio 1", "Audio 1", "Audio 2", "Audio 3"}));
    EXPECT_EQ(both.tracks[0], withClips);
    EXPECT_EQ(both.tracks[1], withOtherClips);

    // The same holds for names other than the defaults.
    Track music1 = makeTrack(TrackType::audio, "Music", {a});
    Track music2 = makeTrack(TrackType::audio, "Music", {b});
    Track alpha = makeTrack(TrackType::audio, "Alpha", {makeClip(0, 1, TrackType::audio)});
    Project music = Project{{music1, alpha, music2}}.ensuringDefaultAudioTracks();
    EXPECT_EQ(trackNames(music),
              (Names{"Alpha", "Music", "Music", "Audio 1", "Audio 2", "Audio 3"}));
    EXPECT_EQ(music.tracks[1], music1);
    EXPECT_EQ(music.tracks[2], music2);
}

TEST(Project, NextTrackNameFollowsTheLargestNumber) {
    EXPECT_EQ(Project{}.nextTrackName(TrackType::text), "Text 1");

    auto named = [](std::vector<std::pair<TrackType, std::string>> tracks) {
        Project project;
        for (auto& [type, name] : tracks) {
            project.tracks.push_back(makeTrack(type, name));
        }
        return project;
    };
    using T = TrackType;
    EXPECT_EQ(named({{T::video, "Video 1"}, {T::video, "Video 3"}}).nextTrackName(T::video),
              "Video 4");
    EXPECT_EQ(named({{T::video, "Video"}, {T::video, "Videos 2"}, {T::audio, "Video 9"}})
                  .nextTrackName(T::video),
              "Video 1");
    EXPECT_EQ(named({{T::video, "Video2"}}).nextTrackName(T::video), "Video 3");
    EXPECT_EQ(named({{T::video, "Video 02"}}).nextTrackName(T::video), "Video 3");
    EXPECT_EQ(named({{T::video, "Video -3"}}).nextTrackName(T::video), "Video -2");
    EXPECT_EQ(named({{T::video, "Video +7"}}).nextTrackName(T::video), "Video 8");
    // Spaces and tabs around the number are trimmed, line breaks are not.
    EXPECT_EQ(named({{T::image, "Image\t 5 \u3000"}}).nextTrackName(T::image), "Image 6");
    EXPECT_EQ(named({{T::image, "Image 5\n"}}).nextTrackName(T::image), "Image 1");
    // Case-sensitive prefix; signs alone, inner spaces and other text fail to parse.
    EXPECT_EQ(named({{T::text, "text 4"},
                     {T::text, "Text -"},
                     {T::text, "Text 1 2"},
                     {T::text, "Text 3a"},
                     {T::text, "Text 0x5"}})
                  .nextTrackName(T::text),
              "Text 1");
    // Out of range numbers are ignored; the largest number still has a successor.
    EXPECT_EQ(named({{T::audio, "Audio 9223372036854775808"}}).nextTrackName(T::audio), "Audio 1");
    EXPECT_EQ(named({{T::audio, "Audio 9223372036854775807"}, {T::audio, "Audio 2"}})
                  .nextTrackName(T::audio),
              "Audio 9223372036854775808");
    EXPECT_EQ(named({{T::audio, "Audio -9223372036854775808"}}).nextTrackName(T::audio),
              "Audio -9223372036854775807");
    EXPECT_EQ(named({{T::audio, "Audio -9223372036854775809"}}).nextTrackName(T::audio), "Audio 1");
}

TEST(Project, AddingClipsByTrackIdAndByType) {
    Track video = makeTrack(TrackType::video, "Video 1", {makeClip(0, 1)});
    Track video2 = makeTrack(TrackType::video, "Video 2", {makeClip(0, 1)});
    Track audio = makeTrack(TrackType::audio, "Audio 1", {}, true);
    Project project{{video, video2, audio}, 50};
    Clip clip = makeClip(5, 2, TrackType::audio);

    Project byId = project.addingClip(clip, audio.id);
    EXPECT_EQ(byId.tracks[2].clips, std::vector<Clip>{clip});
    EXPECT_EQ(byId.tracks[0], video);
    EXPECT_EQ(byId.maxDuration, 50);
    EXPECT_EQ(project.addingClip(clip, Uuid::random()), project);

    // The first track of the type gets it; the clip's own type is not compared.
    Project byType = project.addingClip(clip, TrackType::video);
    EXPECT_EQ(clipIds(byType.tracks[0]), (std::vector<Uuid>{video.clips[0].id, clip.id}));
    EXPECT_EQ(byType.tracks[1], video2);

    Project withNew = project.addingClip(clip, TrackType::text);
    ASSERT_EQ(withNew.tracks.size(), 4u);
    const Track& added = withNew.tracks[3];
    EXPECT_EQ(added.type, TrackType::text);
    EXPECT_EQ(added.name, "Text 1");
    EXPECT_FALSE(added.isDefault);
    EXPECT_EQ(added.clips, std::vector<Clip>{clip});
    EXPECT_FALSE(added.id.isNil());
}

TEST(Project, ReplacingAndSplittingKeepPositions) {
    Clip a = makeClip(0, 4);
    Clip b = makeClip(4, 2);
    Clip c = makeClip(6, 1);
    Project project{{makeTrack(TrackType::video, "Video 1", {a, b, c})}};

    Clip changed = a;
    changed.volume = 0.5;
    Project replaced = project.replacingClip(changed);
    EXPECT_EQ(replaced.tracks[0].clips, (std::vector<Clip>{changed, b, c}));
    EXPECT_EQ(project.replacingClip(makeClip(0, 1)), project);

    Clip first = makeClip(4, 1);
    Clip second = makeClip(5, 1);
    Project split = project.replacingClipWithSplit(b.id, first, second);
    EXPECT_EQ(split.tracks[0].clips, (std::vector<Clip>{a, first, second, c}));
}

TEST(Project, RemovingClipDropsEmptyNonDefaultTracks) {
    Clip only = makeClip(0, 1);
    Clip kept = makeClip(0, 1, TrackType::text);
    Track emptyDefault = makeTrack(TrackType::audio, "Audio 1", {}, true);
    Track emptyOther = makeTrack(TrackType::image, "Image 1");
    Track video = makeTrack(TrackType::video, "Video 1", {only});
    Track text = makeTrack(TrackType::text, "Text 1", {kept});
    Project project{{emptyDefault, emptyOther, video, text}, 10};

    // An unknown id still drops empty non-default tracks.
    Project unknown = project.removingClip(Uuid::random());
    EXPECT_EQ(trackNames(unknown), (Names{"Audio 1", "Video 1", "Text 1"}));

    Project removed = project.removingClip(only.id);
    EXPECT_EQ(trackNames(removed), (Names{"Audio 1", "Text 1"}));
    EXPECT_EQ(removed.tracks[1], text);
    EXPECT_EQ(removed.maxDuration, 10);
}

TEST(Project, MovingClipToTrack) {
    Clip a = makeClip(0, 2);
    Clip b = makeClip(2, 3);
    Clip lone = makeClip(1, 1);
    a.volume = 0.25;
    Track main = makeTrack(TrackType::video, "Video 1", {a, b});
    Track side = makeTrack(TrackType::video, "Video 2", {lone});
    Track audio = makeTrack(TrackType::audio, "Audio 1", {}, true);
    Project project{{main, side, audio}};

    // On its own track the clip goes to the end with its new start.
    Project sameTrack = project.movingClipToTrack(a.id, main.id, 7);
    EXPECT_EQ(clipIds(sameTrack.tracks[0]), (std::vector<Uuid>{b.id, a.id}));
    Clip moved = sameTrack.tracks[0].clips[1];
    EXPECT_EQ(moved.timeRange, (TimeRange{7, 2}));
    moved.timeRange = a.timeRange;
    EXPECT_EQ(moved, a);

    // Moving the only clip of a non-default track drops that track.
    Project emptied = project.movingClipToTrack(lone.id, main.id, 9);
    EXPECT_EQ(trackNames(emptied), (Names{"Video 1", "Audio 1"}));
    EXPECT_EQ(emptied.tracks[0].clips.back().id, lone.id);

    // Types are not checked: a default track may receive any clip.
    Project toAudio = project.movingClipToTrack(b.id, audio.id, 0);
    EXPECT_EQ(toAudio.tracks[2].clips.size(), 1u);

    // An unknown clip or an unknown target leaves the project as it was.
    EXPECT_EQ(project.movingClipToTrack(Uuid::random(), main.id, 0), project);
    EXPECT_EQ(project.movingClipToTrack(lone.id, Uuid::random(), 0), project);
}

TEST(Project, LookUpsFollowTrackThenClipOrder) {
    Clip v1 = makeClip(0, 1, TrackType::video, "a.mov");
    Clip t1 = makeClip(0, 1, TrackType::text, "Hello");
    Clip v2 = makeClip(0, 1, TrackType::video, "a.mov");
    Clip img = makeClip(0, 1, TrackType::image, "b.png");
    Clip dup = v1;
    dup.assetName = "duplicate id";
    Track first = makeTrack(TrackType::video, "Video 1", {v1});
    Track texts = makeTrack(TrackType::text, "Text 1", {t1});
    Track second = makeTrack(TrackType::video, "Video 2", {v2, dup});
    Track images = makeTrack(TrackType::image, "Image 1", {img});
    Project project{{first, texts, second, images}};

    ASSERT_NE(project.findClip(v1.id), nullptr);
    EXPECT_EQ(project.findClip(v1.id)->assetName, "a.mov");
    EXPECT_EQ(project.findClip(Uuid::random()), nullptr);
    EXPECT_EQ(project.findTrackContainingClip(v2.id)->id, second.id);
    EXPECT_EQ(project.findTrackContainingClip(Uuid::random()), nullptr);
    EXPECT_EQ(project.findTrackByName("Text 1")->id, texts.id);
    EXPECT_EQ(project.findTrackByName("text 1"), nullptr);

    EXPECT_EQ(project.videoClips(), (std::vector<Clip>{v1, v2, dup}));
    EXPECT_EQ(project.textClips(), std::vector<Clip>{t1});
    EXPECT_EQ(project.imageClips(), std::vector<Clip>{img});
    EXPECT_EQ(project.allClipNames(), (Names{"a.mov", "Hello", "a.mov", "duplicate id", "b.png"}));
    EXPECT_TRUE(Project{}.videoClips().empty());
}
