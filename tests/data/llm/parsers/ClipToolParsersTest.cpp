#include "data/llm/parsers/ClipToolParsers.h"

#include "data/llm/MappingFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The tool input with the clip named as its target.
auto targeting(const char* name) {
    return [name](JSONObject extra) {
        extra["target"] = S(name);
        return extra;
    };
}

} // namespace

TEST(ClipToolParsers, EveryClipToolResolvesItsTargetBeforeReadingAnythingElse) {
    MappingProject p;
    // Unknown targets win over missing or bad parameters.
    for (const char* tool : {"move_clip", "trim_clip", "set_volume", "remove", "split_clip",
                             "duplicate_clip", "set_speed", "set_opacity", "color_adjust",
                             "rotate_flip", "crop", "apply_filter", "set_clip_transition"}) {
        p.expectFailures(
            tool, {{{{"target", S("ghost.mov")}, {"to", N(-1)}}, R"(targetNotFound("ghost.mov"))"},
                   {{{"target", N(1)}}, R"(missingParameter("target"))"},
                   {{}, R"(missingParameter("target"))"}});
    }
}

TEST(ClipToolParsers, MoveTakesANonNegativeTimeAndAnOptionalTrackName) {
    MappingProject p;
    auto on = targeting("city.mov");
    using Move = EditCommand::Move;
    p.expectCommands(
        "move_clip",
        {{on({{"to", N(0)}}), Move{p.city.id, 0, std::nullopt}},
         {on({{"to", N(12.5)}, {"toTrack", S("Video 2")}}), Move{p.city.id, 12.5, p.video2.id}},
         // A track name of the wrong type is no track change.
         {on({{"to", N(3)}, {"toTrack", N(5)}}), Move{p.city.id, 3, std::nullopt}}});
    p.expectFailures("move_clip",
                     {{on({{"to", N(-0.1)}}), R"(invalidParameterValue("to", -0.1))"},
                      {on({{"to", N(kInf)}}), R"(invalidParameterValue("to", inf))"},
                      {on({{"to", N(kNaN)}}), R"(invalidParameterValue("to", nan))"},
                      {on({{"to", S("3")}}), R"(missingParameter("to"))"},
                      {on({{"to", N(1)}, {"toTrack", S("Nope")}}), R"(targetNotFound("Nope"))"}});
}

TEST(ClipToolParsers, TrimReadsBothValuesThenChecksThemInOrder) {
    MappingProject p;
    auto on = targeting("city.mov");
    EXPECT_EQ(p.map("trim_clip", on({{"startTime", N(0)}, {"duration", N(0.1)}})),
              EditCommand(EditCommand::Trim{p.city.id, 0, 0.1}));
    p.expectFailures("trim_clip", {{on({{"startTime", N(0)}, {"duration", N(0)}}),
                                    R"(invalidParameterValue("duration", 0.0))"},
                                   {on({}), R"(missingParameter("startTime"))"},
                                   // Both are read before any check.
                                   {on({{"startTime", N(-1)}}), R"(missingParameter("duration"))"},
                                   // Finiteness of both comes before the signs.
                                   {on({{"startTime", N(-1)}, {"duration", N(kNaN)}}),
                                    R"(invalidParameterValue("duration", nan))"},
                                   {on({{"startTime", N(-1)}, {"duration", N(-1)}}),
                                    R"(invalidParameterValue("startTime", -1.0))"}});
}

TEST(ClipToolParsers, VolumeIsAtMostOneAndItsFadeNeedsBothEnds) {
    MappingProject p;
    auto on = targeting("music.mp3");
    using Volume = EditCommand::AdjustVolume;
    p.expectCommands(
        "set_volume",
        {{on({{"volume", N(0)}}), Volume{p.music.id, 0, std::nullopt}},
         {on({{"volume", N(1)}, {"fadeStart", N(2)}}), Volume{p.music.id, 1, std::nullopt}},
         {on({{"volume", N(0.5)}, {"fadeStart", N(1)}, {"fadeEnd", N(4)}}),
          Volume{p.music.id, 0.5, TimeRange{1, 3}}},
         {on({{"volume", N(0.5)}, {"fadeStart", S("1")}, {"fadeEnd", N(2)}}),
          Volume{p.music.id, 0.5, std::nullopt}}});
    p.expectFailures("set_volume",
                     {{on({{"volume", N(1.5)}}), R"(invalidParameterValue("volume", 1.5))"},
                      {on({{"volume", N(0.5)}, {"fadeStart", N(3)}, {"fadeEnd", N(3)}}),
                       R"(invalidParameterValue("fadeEnd", 3.0))"},
                      {on({{"volume", N(0.5)}, {"fadeStart", N(-1)}, {"fadeEnd", N(kNaN)}}),
                       R"(invalidParameterValue("fadeEnd", nan))"},
                      {on({{"volume", N(0.5)}, {"fadeStart", N(-1)}, {"fadeEnd", N(2)}}),
                       R"(invalidParameterValue("fadeStart", -1.0))"},
                      // The volume is checked before the fade is read.
                      {on({{"volume", N(2)}, {"fadeStart", N(-1)}, {"fadeEnd", N(2)}}),
                       R"(invalidParameterValue("volume", 2.0))"}});
}

TEST(ClipToolParsers, RemoveFallsBackToTextClips) {
    MappingProject p;
    EXPECT_EQ(p.map("remove", {{"target", S("Shared")}}),
              EditCommand(EditCommand::RemoveClip{p.sharedMedia.id}));
    EXPECT_EQ(p.map("remove", {{"target", S("Hello")}}),
              EditCommand(EditCommand::RemoveClip{p.hello.id}));
}

TEST(ClipToolParsers, SplitDuplicateSpeedAndOpacityCheckTheirRanges) {
    MappingProject p;
    auto on = targeting("city.mov");
    const Uuid city = p.city.id;
    p.expectCommands("split_clip", {{on({{"at", N(6)}}), EditCommand::Split{city, 6}}});
    p.expectFailures("split_clip", {{on({{"at", N(-2)}}), R"(invalidParameterValue("at", -2.0))"},
                                    {on({}), R"(missingParameter("at"))"}});

    p.expectCommands("duplicate_clip",
                     {{on({}), EditCommand::DuplicateClip{city, std::nullopt}},
                      {on({{"at", S("8")}}), EditCommand::DuplicateClip{city, std::nullopt}},
                      {on({{"at", N(8)}}), EditCommand::DuplicateClip{city, 8.0}}});
    p.expectFailures("duplicate_clip",
                     {{on({{"at", N(-kInf)}}), R"(invalidParameterValue("at", -inf))"}});

    p.expectCommands("set_speed", {{on({{"rate", N(0.25)}}), EditCommand::Speed{city, 0.25}},
                                   {on({{"rate", N(4.0)}}), EditCommand::Speed{city, 4.0}}});
    p.expectFailures("set_speed",
                     {{on({{"rate", N(0.2)}}), R"(invalidParameterValue("rate", 0.2))"},
                      {on({{"rate", N(4.5)}}), R"(invalidParameterValue("rate", 4.5))"},
                      {on({{"rate", N(kNaN)}}), R"(invalidParameterValue("rate", nan))"}});

    p.expectCommands("set_opacity", {{on({{"opacity", N(0)}}), EditCommand::Opacity{city, 0}}});
    p.expectFailures("set_opacity",
                     {{on({{"opacity", N(1.01)}}), R"(invalidParameterValue("opacity", 1.01))"},
                      {on({{"opacity", B(true)}}), R"(missingParameter("opacity"))"}});
}

TEST(ClipToolParsers, ColourAdjustNeedsOneValueAndChecksEachRange) {
    MappingProject p;
    auto on = targeting("photo.jpg");
    using CA = EditCommand::ColorAdjust;
    p.expectCommands(
        "color_adjust",
        {{on({{"brightness", N(-1)}}), CA{p.photo.id, -1.0, std::nullopt, std::nullopt}},
         {on({{"contrast", N(0)}, {"saturation", N(4)}}), CA{p.photo.id, std::nullopt, 0.0, 4.0}}});
    const std::string none = R"(missingParameter("brightness, contrast, or saturation"))";
    p.expectFailures(
        "color_adjust",
        {{on({}), none},
         {on({{"brightness", S("0.5")}}), none},
         {on({{"brightness", N(-1.01)}}), R"(invalidParameterValue("brightness", -1.01))"},
         {on({{"contrast", N(4.1)}, {"saturation", N(-1)}}),
          R"(invalidParameterValue("contrast", 4.1))"},
         {on({{"saturation", N(kNaN)}}), R"(invalidParameterValue("saturation", nan))"}});
}

TEST(ClipToolParsers, RotationTruncatesToAQuarterTurnAndFlipsAcceptWordsOrBooleans) {
    MappingProject p;
    auto on = targeting("city.mov");
    using RF = EditCommand::RotateFlip;
    const Uuid city = p.city.id;
    p.expectCommands("rotate_flip",
                     {{on({{"rotation", N(90.5)}}), RF{city, 90, {}, {}}},
                      {on({{"rotation", N(-0.5)}}), RF{city, 0, {}, {}}},
                      {on({{"rotation", N(270)}}), RF{city, 270, {}, {}}},
                      {on({{"flipHorizontal", S("TRUE")}}), RF{city, {}, true, {}}},
                      {on({{"flipHorizontal", B(false)}, {"flipVertical", S("false")}}),
                       RF{city, {}, false, false}}});
    const std::string none = R"(missingParameter("rotation, flipHorizontal, or flipVertical"))";
    p.expectFailures(
        "rotate_flip",
        {{on({{"rotation", N(45)}}), R"(invalidParameterValue("rotation", 45.0))"},
         {on({{"rotation", N(-90)}}), R"(invalidParameterValue("rotation", -90.0))"},
         {on({{"rotation", N(1e300)}}), R"(invalidParameterValue("rotation", 1e+300))"},
         {on({{"rotation", N(kNaN)}}), R"(invalidParameterValue("rotation", nan))"},
         {on({{"rotation", N(-9223372036854775808.0)}}),
          R"(invalidParameterValue("rotation", -9.223372036854776e+18))"},
         {on({{"flipHorizontal", S("yes")}}), R"(invalidParameterValue("flipHorizontal", 0.0))"},
         {on({{"rotation", N(90)}, {"flipVertical", N(1)}}),
          R"(invalidParameterValue("flipVertical", 0.0))"},
         {on({{"rotation", N(90)}, {"flipVertical", JSONValue::null()}}),
          R"(invalidParameterValue("flipVertical", 0.0))"},
         // A rotation given as a string counts as absent.
         {on({{"rotation", S("90")}}), none},
         {on({}), none}});
}

TEST(ClipToolParsers, CropReadsAllFourThenChecksFinitenessSignsAndUpperBounds) {
    MappingProject p;
    auto crop = [&](double x, double y, double w, double h) {
        return JSONObject{
            {"target", S("city.mov")}, {"x", N(x)}, {"y", N(y)}, {"width", N(w)}, {"height", N(h)}};
    };
    // Whether the rectangle leaves the frame is the crop edit's check.
    EXPECT_EQ(p.map("crop", crop(0.5, 0, 0.6, 1)),
              EditCommand(EditCommand::Crop{p.city.id, 0.5, 0, 0.6, 1}));
    JSONObject noHeight = crop(-5, 0, 0, 0);
    noHeight.erase("height");
    JSONObject stringY = crop(0, 0, 1, 1);
    stringY["y"] = S("0");
    p.expectFailures("crop", {{crop(0, 0, 0, 1), R"(invalidParameterValue("width", 0.0))"},
                              {crop(2, 0, kNaN, 1), R"(invalidParameterValue("width", nan))"},
                              {crop(2, -1, 0.5, 0.5), R"(invalidParameterValue("y", -1.0))"},
                              {crop(2, 0, 0.5, 0), R"(invalidParameterValue("height", 0.0))"},
                              {crop(2, 0, 0.5, 0.5), R"(invalidParameterValue("x", 2.0))"},
                              {crop(0, 0, 0.5, 1.5), R"(invalidParameterValue("height", 1.5))"},
                              {noHeight, R"(missingParameter("height"))"},
                              {stringY, R"(missingParameter("y"))"}});
}

TEST(ClipToolParsers, FilterNamesAreExactAndIntensityIsOptional) {
    MappingProject p;
    auto on = targeting("photo.jpg");
    using F = EditCommand::Filter;
    p.expectCommands(
        "apply_filter",
        {{on({{"filter_name", S("none")}}), F{p.photo.id, "none", std::nullopt}},
         {on({{"filter_name", S("noir")}, {"intensity", N(0.3)}}), F{p.photo.id, "noir", 0.3}},
         {on({{"filter_name", S("sepia")}, {"intensity", S("0.3")}}),
          F{p.photo.id, "sepia", std::nullopt}}});
    p.expectFailures("apply_filter", {{on({{"filter_name", S("Sepia")}}),
                                       R"(invalidParameterValue("filter_name", 0.0))"},
                                      {on({{"filter_name", S("grayscale")}, {"intensity", N(1.5)}}),
                                       R"(invalidParameterValue("intensity", 1.5))"},
                                      {on({}), R"(missingParameter("filter_name"))"}});
}

TEST(ClipToolParsers, CrossDissolveDecidesAloneButNotOnTextClips) {
    MappingProject p;
    auto on = targeting("city.mov");
    p.expectCommands(
        "set_clip_transition",
        {{on({{"crossDissolveDuration", N(1)}, {"fadeInDuration", N(9)}, {"type", S("spin")}}),
          EditCommand::CrossDissolve{p.city.id, 1}},
         {on({{"crossDissolveDuration", N(0)}}), EditCommand::CrossDissolve{p.city.id, 0}}});
    p.expectFailures(
        "set_clip_transition",
        {{on({{"crossDissolveDuration", N(5.5)}}),
          R"(invalidParameterValue("crossDissolveDuration", 5.5))"},
         {{{"target", S("Hello")}, {"crossDissolveDuration", N(99)}},
          R"(missingParameter("crossDissolveDuration is not supported on text clips; use )"
          R"(fadeInDuration or fadeOutDuration"))"}});
}

TEST(ClipToolParsers, FadeTransitionsCheckDurationsTypesAndEasing) {
    MappingProject p;
    auto city = targeting("city.mov");
    auto hello = targeting("Hello");
    auto photo = targeting("photo.jpg");
    using T = EditCommand::Transition;
    p.expectCommands(
        "set_clip_transition",
        {{city({{"fadeInDuration", N(0)}}),
          T{p.city.id, 0.0, std::nullopt, std::nullopt, std::nullopt}},
         {city({{"fadeInDuration", N(1)},
                {"fadeOutDuration", N(5)},
                {"type", S("clip_push_left")},
                {"easing", S("easeInOut")}}),
          T{p.city.id, 1.0, 5.0, TransitionType::push(Direction::left), EasingCurve::easeInOut}},
         // Unknown names: no type, linear easing; a non-string easing is absent.
         {hello({{"fadeOutDuration", N(2)}, {"type", S("zoomOut")}, {"easing", S("bouncy")}}),
          T{p.hello.id, std::nullopt, 2.0, std::nullopt, EasingCurve::linear}},
         {photo({{"fadeOutDuration", N(2)}, {"easing", N(1)}}),
          T{p.photo.id, std::nullopt, 2.0, std::nullopt, std::nullopt}},
         // Fade and cross-dissolve types work on any clip.
         {hello({{"fadeInDuration", N(1)}, {"type", S("fade")}}),
          T{p.hello.id, 1.0, std::nullopt, TransitionType::fade(), std::nullopt}},
         {photo({{"fadeInDuration", N(1)}, {"type", S("crossDissolve")}}),
          T{p.photo.id, 1.0, std::nullopt, TransitionType::crossDissolve(), std::nullopt}}});

    // The message travels as a case's string payload: its quotes are escaped.
    const std::string onlyVideo =
        "missingParameter(\"Geometric transitions (push/wipe/slide/spin/flip/zoom) "
        "are only supported on video clips. Use \\'fade\\' for ";
    p.expectFailures(
        "set_clip_transition",
        {{city({{"type", S("fade")}}),
          R"(missingParameter("fadeInDuration, fadeOutDuration, or crossDissolveDuration"))"},
         {city({{"fadeInDuration", N(-0.5)}}), R"(invalidParameterValue("fadeInDuration", -0.5))"},
         {city({{"fadeInDuration", N(1)}, {"fadeOutDuration", N(kNaN)}}),
          R"(invalidParameterValue("fadeOutDuration", nan))"},
         // Durations are checked before the type.
         {hello({{"fadeInDuration", N(6)}, {"type", S("spin")}}),
          R"(invalidParameterValue("fadeInDuration", 6.0))"},
         {hello({{"fadeInDuration", N(1)}, {"type", S("spin")}}), onlyVideo + "text clips.\")"},
         {photo({{"fadeInDuration", N(1)}, {"type", S("clip_push_left")}}),
          onlyVideo + "image clips.\")"},
         {{{"target", S("music.mp3")}, {"fadeOutDuration", N(1)}, {"type", S("clip_zoom_in")}},
          onlyVideo + "audio clips.\")"}});
}

TEST(ClipToolParsers, FadeRangeAloneIsAbsentUnlessBothEndsAreNumbers) {
    EXPECT_EQ(ClipToolParsers::parseFadeRange({}), std::nullopt);
    EXPECT_EQ(ClipToolParsers::parseFadeRange({{"fadeEnd", N(2)}}), std::nullopt);
    EXPECT_EQ(ClipToolParsers::parseFadeRange({{"fadeStart", N(0)}, {"fadeEnd", N(0.5)}}),
              (TimeRange{0, 0.5}));
}
