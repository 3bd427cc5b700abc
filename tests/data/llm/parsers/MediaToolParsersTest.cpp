#include "data/llm/parsers/MediaToolParsers.h"

#include "data/llm/MappingFixtures.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(MediaToolParsers, AddClipChecksNameTrackTypeAndStartInOrder) {
    MappingProject p;
    using AC = EditCommand::AddClip;
    EXPECT_EQ(
        p.map("add_clip", {{"target", S("new.mov")}, {"trackType", S("video")}, {"at", N(0)}}),
        EditCommand(AC{"new.mov", TrackType::video, 0, std::nullopt}));
    // The file is not looked up in the project.
    EXPECT_EQ(p.map("add_clip", {{"target", S("song.mp3")},
                                 {"trackType", S("audio")},
                                 {"at", N(2.5)},
                                 {"target_track", S("BGM")}}),
              EditCommand(AC{"song.mp3", TrackType::audio, 2.5, "BGM"}));
    EXPECT_EQ(p.map("add_clip", {{"target", S("a.png")},
                                 {"trackType", S("image")},
                                 {"at", N(1)},
                                 {"target_track", N(5)}}),
              EditCommand(AC{"a.png", TrackType::image, 1, std::nullopt}));

    auto clip = [](JSONObject extra) {
        extra["target"] = S("clip.mov");
        extra["trackType"] = S("video");
        return extra;
    };
    p.expectFailures(
        "add_clip",
        {{{{"target", S("../clip.mov")}, {"trackType", S("text")}},
          R"(invalidFilename("../clip.mov"))"},
         {{{"target", S("clip.mov")}, {"trackType", S("text")}}, R"(unknownTrackType("text"))"},
         {clip({{"at", N(-1)}}), R"(invalidParameterValue("at", -1.0))"},
         {clip({{"at", N(kNaN)}}), R"(invalidParameterValue("at", nan))"},
         {clip({{"at", S("1")}}), R"(missingParameter("at"))"},
         {{{"target", S("clip.mov")}}, R"(missingParameter("trackType"))"},
         {{{"trackType", S("video")}, {"at", N(1)}}, R"(missingParameter("target"))"}});
}

TEST(MediaToolParsers, AddTrackAddsOnlyAudioTracks) {
    MappingProject p;
    EXPECT_EQ(p.map("add_track", {{"trackType", S("audio")}}),
              EditCommand(EditCommand::AddTrack{std::nullopt, TrackType::audio}));
    EXPECT_EQ(p.map("add_track", {{"trackType", S("audio")}, {"name", S("Narration")}}),
              EditCommand(EditCommand::AddTrack{"Narration", TrackType::audio}));
    EXPECT_EQ(p.map("add_track", {{"trackType", S("audio")}, {"name", N(2)}}),
              EditCommand(EditCommand::AddTrack{std::nullopt, TrackType::audio}));
    p.expectFailures("add_track", {{{{"trackType", S("video")}}, R"(unknownTrackType("video"))"},
                                   {{{"trackType", S("image")}}, R"(unknownTrackType("image"))"},
                                   {{{"trackType", S("Audio")}}, R"(unknownTrackType("Audio"))"},
                                   {{{"name", S("BGM")}}, R"(missingParameter("trackType"))"}});
}

TEST(MediaToolParsers, ImageMotionsTakeDefaultsAndCheckRanges) {
    MappingProject p;
    auto motion = [&](std::string type, JSONObject extra = {}) {
        extra["target"] = S("photo.jpg");
        extra["type"] = S(std::move(type));
        return extra;
    };
    auto expected = [&](ImageAnimationType type, EasingCurve easing = EasingCurve::easeInOut) {
        return EditCommand(EditCommand::SetImageAnimation{p.photo.id, type, easing});
    };
    EXPECT_EQ(p.map("set_image_motion", motion("zoomIn")),
              expected(ImageAnimationType::zoomIn(1.5)));
    EXPECT_EQ(p.map("set_image_motion", motion("zoomOut", {{"factor", N(5)}})),
              expected(ImageAnimationType::zoomOut(5)));
    EXPECT_EQ(p.map("set_image_motion", motion("pan_left")),
              expected(ImageAnimationType::pan(Direction::left, 0.3)));
    EXPECT_EQ(p.map("set_image_motion",
                    motion("pan_down", {{"distance", N(1)}, {"easing", S("linear")}})),
              expected(ImageAnimationType::pan(Direction::down, 1), EasingCurve::linear));
    EXPECT_EQ(p.map("set_image_motion",
                    motion("shake", {{"intensity", S("0.9")}, {"easing", S("Linear")}})),
              expected(ImageAnimationType::shake(0.5)));
    EXPECT_EQ(p.map("set_image_motion", motion("rotate")),
              expected(ImageAnimationType::rotate(360)));
    EXPECT_EQ(p.map("set_image_motion", motion("rotate", {{"degrees", N(-3600)}})),
              expected(ImageAnimationType::rotate(-3600)));

    p.expectFailures(
        "set_image_motion",
        {{motion("zoomIn", {{"factor", N(1.0)}}), R"(invalidParameterValue("factor", 1.0))"},
         {motion("rotate", {{"degrees", N(3600.5)}}),
          R"(invalidParameterValue("degrees", 3600.5))"},
         {motion("pan_up", {{"distance", N(kNaN)}}), R"(invalidParameterValue("distance", nan))"},
         {motion("shake", {{"intensity", N(1.1)}}), R"(invalidParameterValue("intensity", 1.1))"},
         {motion("Pan_left"), R"(invalidParameterValue("type", 0.0))"},
         {{{"target", S("photo.jpg")}}, R"(missingParameter("type"))"},
         // The target first; whether it is an image is the edit's business.
         {{{"target", S("ghost.jpg")}}, R"(targetNotFound("ghost.jpg"))"},
         {{{"target", S("Hello")}, {"type", S("shake")}}, R"(targetNotFound("Hello"))"}});
    EXPECT_EQ(p.map("set_image_motion", {{"target", S("city.mov")}, {"type", S("shake")}}),
              EditCommand(EditCommand::SetImageAnimation{p.city.id, ImageAnimationType::shake(0.5),
                                                         EasingCurve::easeInOut}));
}

TEST(MediaToolParsers, KenBurnsChecksPositionsBeforeSizes) {
    MappingProject p;
    auto kenBurns = [&](JSONObject extra = {}) {
        extra["target"] = S("photo.jpg");
        extra["type"] = S("kenBurns");
        return extra;
    };
    EXPECT_EQ(p.map("set_image_motion", kenBurns()),
              EditCommand(EditCommand::SetImageAnimation{
                  p.photo.id, ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.1, 0.1, 0.8, 0.8}),
                  EasingCurve::easeInOut}));
    // A rectangle may reach past the image.
    EXPECT_EQ(p.map("set_image_motion",
                    kenBurns({{"toX", N(0.9)}, {"toWidth", N(0.5)}, {"fromHeight", N(0.05)}})),
              EditCommand(EditCommand::SetImageAnimation{
                  p.photo.id, ImageAnimationType::kenBurns({0, 0, 1, 0.05}, {0.9, 0.1, 0.5, 0.8}),
                  EasingCurve::easeInOut}));
    p.expectFailures(
        "set_image_motion",
        {{kenBurns({{"toWidth", N(0.04)}}), R"(invalidParameterValue("toWidth", 0.04))"},
         {kenBurns({{"fromX", N(1.2)}, {"toWidth", N(0.04)}}),
          R"(invalidParameterValue("fromX", 1.2))"},
         {kenBurns({{"fromWidth", N(0)}, {"toY", N(-0.1)}}),
          R"(invalidParameterValue("toY", -0.1))"},
         {kenBurns({{"toHeight", N(1.01)}, {"fromHeight", N(kNaN)}}),
          R"(invalidParameterValue("fromHeight", nan))"}});
}

TEST(MediaToolParsers, TransitionNamesAreExact) {
    using MTP = MediaToolParsers;
    EXPECT_EQ(MTP::parseTransitionType(std::nullopt), std::nullopt);
    EXPECT_EQ(MTP::parseTransitionType("fade"), TransitionType::fade());
    EXPECT_EQ(MTP::parseTransitionType("crossDissolve"), TransitionType::crossDissolve());
    EXPECT_EQ(MTP::parseTransitionType("clip_push_up"), TransitionType::push(Direction::up));
    EXPECT_EQ(MTP::parseTransitionType("clip_wipe_right"), TransitionType::wipe(Direction::right));
    EXPECT_EQ(MTP::parseTransitionType("clip_slide_down"), TransitionType::slide(Direction::down));
    EXPECT_EQ(MTP::parseTransitionType("spin"), TransitionType::spin());
    EXPECT_EQ(MTP::parseTransitionType("flip"), TransitionType::flip());
    EXPECT_EQ(MTP::parseTransitionType("clip_zoom_in"), TransitionType::zoomIn());
    EXPECT_EQ(MTP::parseTransitionType("clip_zoom_out"), TransitionType::zoomOut());
    EXPECT_EQ(MTP::parseTransitionType("zoomOut"), std::nullopt);
    EXPECT_EQ(MTP::parseTransitionType("Fade"), std::nullopt);
    EXPECT_EQ(MTP::parseTransitionType("clip_push"), std::nullopt);
}
