#include "domain/entities/Track.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

TEST(Track, CopyOperationsChangeOnlyClipsAndKeepOrder) {
    Clip a = makeClip(5, 1);
    Clip b = makeClip(0, 1);
    Track track = makeTrack(TrackType::video, "Video 1", {a}, true);

    Track added = track.addingClip(b);
    EXPECT_EQ(clipIds(added), (std::vector<Uuid>{a.id, b.id}));
    EXPECT_EQ(added.id, track.id);
    EXPECT_EQ(added.name, track.name);
    EXPECT_TRUE(added.isDefault);
    EXPECT_EQ(track.clips.size(), 1u);

    Clip changed = b;
    changed.opacity = 0.3;
    EXPECT_EQ(added.replacingClip(changed).clips, (std::vector<Clip>{a, changed}));
    EXPECT_EQ(added.removingClip(a.id).clips, std::vector<Clip>{b});
    EXPECT_EQ(added.removingClip(Uuid::random()), added);

    Clip first = makeClip(5, 0.5);
    Clip second = makeClip(5.5, 0.5);
    EXPECT_EQ(added.replacingClipWithSplit(a.id, first, second).clips,
              (std::vector<Clip>{first, second, b}));
}

TEST(Track, OverlapIsStrictAndSkipsTheExcludedClip) {
    Clip clip = makeClip(2, 3); // [2, 5)
    Track track = makeTrack(TrackType::video, "Video 1", {clip});

    EXPECT_FALSE(track.hasOverlap({5, 1}));
    EXPECT_FALSE(track.hasOverlap({0, 2}));
    EXPECT_TRUE(track.hasOverlap({4.999, 1}));
    EXPECT_TRUE(track.hasOverlap({0, 2.001}));
    EXPECT_TRUE(track.hasOverlap({3, 0.5}));
    EXPECT_TRUE(track.hasOverlap({0, 10}));
    // Starting together overlaps, however short either clip is.
    EXPECT_TRUE(track.hasOverlap({2, 4.3e-124}));
    EXPECT_TRUE(track.hasOverlap({2, 0}));
    EXPECT_FALSE(track.hasOverlap({0, 10}, clip.id));
    EXPECT_TRUE(track.hasOverlap({0, 10}, Uuid::random()));
    EXPECT_FALSE(makeTrack(TrackType::video, "Empty").hasOverlap({0, 10}));
}

TEST(Track, NextClipFollowsTimeOrderNotStoredOrder) {
    Clip late = makeClip(10, 1);
    Clip early = makeClip(0, 1);
    Clip middle = makeClip(5, 1);
    Clip sameStart = makeClip(5, 2);
    Track track = makeTrack(TrackType::video, "Video 1", {late, middle, early, sameStart});

    EXPECT_EQ(track.nextClip(early.id)->id, middle.id);
    // Equal starts keep their stored order.
    EXPECT_EQ(track.nextClip(middle.id)->id, sameStart.id);
    EXPECT_EQ(track.nextClip(sameStart.id)->id, late.id);
    // The last in time has none, though another clip is stored after it.
    EXPECT_FALSE(track.nextClip(late.id).has_value());
    EXPECT_FALSE(track.nextClip(Uuid::random()).has_value());
}
