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

} // namespace

TEST(ClipToolParsers, EveryClipToolResolvesItsTargetBeforeReadingAnythingElse) {
    MappingProject p;
    // Unknown targets win over missing or bad parameters.
    for (const char* tool : {"move_clip", "trim_clip", "set_volume", "remove", "split_clip",
                             "duplicate_clip", "set_speed", "set_opacity", "color_adjust",
                             "rotate_flip", "crop", "apply_filter", "set_clip_transition"}) {
        EXPECT_EQ(p.failure(tool, {{"target", S("ghost.mov")}, {"to", N(-1)}}),
                  R"(targetNotFound("ghost.mov"))")
            << tool;
        EXPECT_EQ(p.failure(tool, {{"target", N(1)}}), R"(missingParameter("target"))") << tool;
        EXPECT_EQ(p.failure(tool, {}), R"(missingParameter("target"))") << tool;
    }
}

TEST(ClipToolParsers, MoveTakesANonNegativeTimeAndAnOptionalTrackName) {
    MappingProject p;
    EXPECT_EQ(p.map("move_clip", {{"target", S("city.mov")}, {"to", N(0)}}),
              EditCommand(EditCommand::Move{p.city.id, 0, std::nullopt}));
    EXPECT_EQ(
        p.map("move_clip", {{"target", S("city.mov")}, {"to", N(12.5)}, {"toTrack", S("Video 2")}}),
        EditCommand(EditCommand::Move{p.city.id, 12.5, p.video2.id}));
    // A track name of the wrong type is no track change.
    EXPECT_EQ(p.map("move_clip", {{"target", S("city.mov")}, {"to", N(3)}, {"toTrack", N(5)}}),
              EditCommand(EditCommand::Move{p.city.id, 3, std::nullopt}));
    EXPECT_EQ(p.failure("move_clip", {{"target", S("city.mov")}, {"to", N(-0.1)}}),
              R"(invalidParameterValue("to", -0.1))");
    EXPECT_EQ(p.failure("move_clip", {{"target", S("city.mov")}, {"to", N(kInf)}}),
              R"(invalidParameterValue("to", inf))");
    EXPECT_EQ(p.failure("move_clip", {{"target", S("city.mov")}, {"to", N(kNaN)}}),
              R"(invalidParameterValue("to", nan))");
    EXPECT_EQ(p.failure("move_clip", {{"target", S("city.mov")}, {"to", S("3")}}),
              R"(missingParameter("to"))");
    EXPECT_EQ(
        p.failure("move_clip", {{"target", S("city.mov")}, {"to", N(1)}, {"toTrack", S("Nope")}}),
        R"(targetNotFound("Nope"))");
}

TEST(ClipToolParsers, TrimReadsBothValuesThenChecksThemInOrder) {
    MappingProject p;
    auto trim = [&](JSONObject extra) {
        extra["target"] = S("city.mov");
        return extra;
    };
    EXPECT_EQ(p.map("trim_clip", trim({{"startTime", N(0)}, {"duration", N(0.1)}})),
              EditCommand(EditCommand::Trim{p.city.id, 0, 0.1}));
    EXPECT_EQ(p.failure("trim_clip", trim({{"startTime", N(0)}, {"duration", N(0)}})),
              R"(invalidParameterValue("duration", 0.0))");
    EXPECT_EQ(p.failure("trim_clip", trim({})), R"(missingParameter("startTime"))");
    // Both are read before any check.
    EXPECT_EQ(p.failure("trim_clip", trim({{"startTime", N(-1)}})),
              R"(missingParameter("duration"))");
    // Finiteness of both comes before the signs.
    EXPECT_EQ(p.failure("trim_clip", trim({{"startTime", N(-1)}, {"duration", N(kNaN)}})),
              R"(invalidParameterValue("duration", nan))");
    EXPECT_EQ(p.failure("trim_clip", trim({{"startTime", N(-1)}, {"duration", N(-1)}})),
              R"(invalidParameterValue("startTime", -1.0))");
}

TEST(ClipToolParsers, VolumeIsAtMostOneAndItsFadeNeedsBothEnds) {
    MappingProject p;
    auto volume = [&](JSONObject extra) {
        extra["target"] = S("music.mp3");
        return extra;
    };
    EXPECT_EQ(p.map("set_volume", volume({{"volume", N(0)}})),
              EditCommand(EditCommand::AdjustVolume{p.music.id, 0, std::nullopt}));
    EXPECT_EQ(p.failure("set_volume", volume({{"volume", N(1.5)}})),
              R"(invalidParameterValue("volume", 1.5))");
    EXPECT_EQ(p.map("set_volume", volume({{"volume", N(1)}, {"fadeStart", N(2)}})),
              EditCommand(EditCommand::AdjustVolume{p.music.id, 1, std::nullopt}));
    EXPECT_EQ(
        p.map("set_volume", volume({{"volume", N(0.5)}, {"fadeStart", N(1)}, {"fadeEnd", N(4)}})),
        EditCommand(EditCommand::AdjustVolume{p.music.id, 0.5, TimeRange{1, 3}}));
    EXPECT_EQ(p.failure("set_volume",
                        volume({{"volume", N(0.5)}, {"fadeStart", N(3)}, {"fadeEnd", N(3)}})),
              R"(invalidParameterValue("fadeEnd", 3.0))");
    EXPECT_EQ(p.failure("set_volume",
                        volume({{"volume", N(0.5)}, {"fadeStart", N(-1)}, {"fadeEnd", N(kNaN)}})),
              R"(invalidParameterValue("fadeEnd", nan))");
    EXPECT_EQ(p.failure("set_volume",
                        volume({{"volume", N(0.5)}, {"fadeStart", N(-1)}, {"fadeEnd", N(2)}})),
              R"(invalidParameterValue("fadeStart", -1.0))");
    // The volume is checked before the fade is read.
    EXPECT_EQ(p.failure("set_volume",
                        volume({{"volume", N(2)}, {"fadeStart", N(-1)}, {"fadeEnd", N(2)}})),
              R"(invalidParameterValue("volume", 2.0))");
    EXPECT_EQ(
        p.map("set_volume", volume({{"volume", N(0.5)}, {"fadeStart", S("1")}, {"fadeEnd", N(2)}})),
        EditCommand(EditCommand::AdjustVolume{p.music.id, 0.5, std::nullopt}));
}

TEST(ClipToolParsers, RemovePrefersMediaClipsAndFallsBackToTextClips) {
    MappingProject p;
    EXPECT_EQ(p.map("remove", {{"target", S("Shared")}}),
              EditCommand(EditCommand::RemoveClip{p.sharedMedia.id}));
    EXPECT_EQ(p.map("remove", {{"target", S("Hello")}}),
              EditCommand(EditCommand::RemoveClip{p.hello.id}));
    EXPECT_EQ(p.map("remove", {{"target", S("beach.mov")}}),
              EditCommand(EditCommand::RemoveClip{p.beach.id}));
}

TEST(ClipToolParsers, SplitDuplicateSpeedAndOpacityCheckTheirRanges) {
    MappingProject p;
    auto on = [&](JSONObject extra) {
        extra["target"] = S("city.mov");
        return extra;
    };
    EXPECT_EQ(p.map("split_clip", on({{"at", N(6)}})),
              EditCommand(EditCommand::Split{p.city.id, 6}));
    EXPECT_EQ(p.failure("split_clip", on({{"at", N(-2)}})), R"(invalidParameterValue("at", -2.0))");
    EXPECT_EQ(p.failure("split_clip", on({})), R"(missingParameter("at"))");

    EXPECT_EQ(p.map("duplicate_clip", on({})),
              EditCommand(EditCommand::DuplicateClip{p.city.id, std::nullopt}));
    EXPECT_EQ(p.map("duplicate_clip", on({{"at", S("8")}})),
              EditCommand(EditCommand::DuplicateClip{p.city.id, std::nullopt}));
    EXPECT_EQ(p.map("duplicate_clip", on({{"at", N(8)}})),
              EditCommand(EditCommand::DuplicateClip{p.city.id, 8.0}));
    EXPECT_EQ(p.failure("duplicate_clip", on({{"at", N(-kInf)}})),
              R"(invalidParameterValue("at", -inf))");

    EXPECT_EQ(p.map("set_speed", on({{"rate", N(0.25)}})),
              EditCommand(EditCommand::Speed{p.city.id, 0.25}));
    EXPECT_EQ(p.map("set_speed", on({{"rate", N(4.0)}})),
              EditCommand(EditCommand::Speed{p.city.id, 4.0}));
    EXPECT_EQ(p.failure("set_speed", on({{"rate", N(0.2)}})),
              R"(invalidParameterValue("rate", 0.2))");
    EXPECT_EQ(p.failure("set_speed", on({{"rate", N(4.5)}})),
              R"(invalidParameterValue("rate", 4.5))");
    EXPECT_EQ(p.failure("set_speed", on({{"rate", N(kNaN)}})),
              R"(invalidParameterValue("rate", nan))");

    EXPECT_EQ(p.map("set_opacity", on({{"opacity", N(0)}})),
              EditCommand(EditCommand::Opacity{p.city.id, 0}));
    EXPECT_EQ(p.failure("set_opacity", on({{"opacity", N(1.01)}})),
              R"(invalidParameterValue("opacity", 1.01))");
    EXPECT_EQ(p.failure("set_opacity", on({{"opacity", B(true)}})),
              R"(missingParameter("opacity"))");
}

TEST(ClipToolParsers, ColourAdjustNeedsOneValueAndChecksEachRange) {
    MappingProject p;
    auto on = [&](JSONObject extra) {
        extra["target"] = S("photo.jpg");
        return extra;
    };
    EXPECT_EQ(p.failure("color_adjust", on({})),
              R"(missingParameter("brightness, contrast, or saturation"))");
    EXPECT_EQ(p.failure("color_adjust", on({{"brightness", S("0.5")}})),
              R"(missingParameter("brightness, contrast, or saturation"))");
    EXPECT_EQ(p.map("color_adjust", on({{"brightness", N(-1)}})),
              EditCommand(EditCommand::ColorAdjust{p.photo.id, -1.0, std::nullopt, std::nullopt}));
    EXPECT_EQ(p.failure("color_adjust", on({{"brightness", N(-1.01)}})),
              R"(invalidParameterValue("brightness", -1.01))");
    EXPECT_EQ(p.map("color_adjust", on({{"contrast", N(0)}, {"saturation", N(4)}})),
              EditCommand(EditCommand::ColorAdjust{p.photo.id, std::nullopt, 0.0, 4.0}));
    EXPECT_EQ(p.failure("color_adjust", on({{"contrast", N(4.1)}, {"saturation", N(-1)}})),
              R"(invalidParameterValue("contrast", 4.1))");
    EXPECT_EQ(p.failure("color_adjust", on({{"saturation", N(kNaN)}})),
              R"(invalidParameterValue("saturation", nan))");
}

TEST(ClipToolParsers, RotationTruncatesToAQuarterTurnAndFlipsAcceptWordsOrBooleans) {
    MappingProject p;
    auto on = [&](JSONObject extra) {
        extra["target"] = S("city.mov");
        return extra;
    };
    using RF = EditCommand::RotateFlip;
    EXPECT_EQ(p.map("rotate_flip", on({{"rotation", N(90.5)}})),
              EditCommand(RF{p.city.id, 90, {}, {}}));
    EXPECT_EQ(p.map("rotate_flip", on({{"rotation", N(-0.5)}})),
              EditCommand(RF{p.city.id, 0, {}, {}}));
    EXPECT_EQ(p.map("rotate_flip", on({{"rotation", N(270)}})),
              EditCommand(RF{p.city.id, 270, {}, {}}));
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", N(45)}})),
              R"(invalidParameterValue("rotation", 45.0))");
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", N(-90)}})),
              R"(invalidParameterValue("rotation", -90.0))");
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", N(1e300)}})),
              R"(invalidParameterValue("rotation", 1e+300))");
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", N(kNaN)}})),
              R"(invalidParameterValue("rotation", nan))");
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", N(-9223372036854775808.0)}})),
              R"(invalidParameterValue("rotation", -9.223372036854776e+18))");

    EXPECT_EQ(p.map("rotate_flip", on({{"flipHorizontal", S("TRUE")}})),
              EditCommand(RF{p.city.id, {}, true, {}}));
    EXPECT_EQ(
        p.map("rotate_flip", on({{"flipHorizontal", B(false)}, {"flipVertical", S("false")}})),
        EditCommand(RF{p.city.id, {}, false, false}));
    EXPECT_EQ(p.failure("rotate_flip", on({{"flipHorizontal", S("yes")}})),
              R"(invalidParameterValue("flipHorizontal", 0.0))");
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", N(90)}, {"flipVertical", N(1)}})),
              R"(invalidParameterValue("flipVertical", 0.0))");
    EXPECT_EQ(
        p.failure("rotate_flip", on({{"rotation", N(90)}, {"flipVertical", JSONValue::null()}})),
        R"(invalidParameterValue("flipVertical", 0.0))");

    // A rotation given as a string counts as absent.
    EXPECT_EQ(p.failure("rotate_flip", on({{"rotation", S("90")}})),
              R"(missingParameter("rotation, flipHorizontal, or flipVertical"))");
    EXPECT_EQ(p.failure("rotate_flip", on({})),
              R"(missingParameter("rotation, flipHorizontal, or flipVertical"))");
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
    EXPECT_EQ(p.failure("crop", crop(0, 0, 0, 1)), R"(invalidParameterValue("width", 0.0))");
    EXPECT_EQ(p.failure("crop", crop(2, 0, kNaN, 1)), R"(invalidParameterValue("width", nan))");
    EXPECT_EQ(p.failure("crop", crop(2, -1, 0.5, 0.5)), R"(invalidParameterValue("y", -1.0))");
    EXPECT_EQ(p.failure("crop", crop(2, 0, 0.5, 0)), R"(invalidParameterValue("height", 0.0))");
    EXPECT_EQ(p.failure("crop", crop(2, 0, 0.5, 0.5)), R"(invalidParameterValue("x", 2.0))");
    EXPECT_EQ(p.failure("crop", crop(0, 0, 0.5, 1.5)), R"(invalidParameterValue("height", 1.5))");

    JSONObject noHeight = crop(-5, 0, 0, 0);
    noHeight.erase("height");
    EXPECT_EQ(p.failure("crop", noHeight), R"(missingParameter("height"))");
    JSONObject stringY = crop(0, 0, 1, 1);
    stringY["y"] = S("0");
    EXPECT_EQ(p.failure("crop", stringY), R"(missingParameter("y"))");
}

TEST(ClipToolParsers, FilterNamesAreExactAndIntensityIsOptional) {
    MappingProject p;
    auto on = [&](JSONObject extra) {
        extra["target"] = S("photo.jpg");
        return extra;
    };
    EXPECT_EQ(p.map("apply_filter", on({{"filter_name", S("none")}})),
              EditCommand(EditCommand::Filter{p.photo.id, "none", std::nullopt}));
    EXPECT_EQ(p.map("apply_filter", on({{"filter_name", S("noir")}, {"intensity", N(0.3)}})),
              EditCommand(EditCommand::Filter{p.photo.id, "noir", 0.3}));
    EXPECT_EQ(p.map("apply_filter", on({{"filter_name", S("sepia")}, {"intensity", S("0.3")}})),
              EditCommand(EditCommand::Filter{p.photo.id, "sepia", std::nullopt}));
    EXPECT_EQ(p.failure("apply_filter", on({{"filter_name", S("Sepia")}})),
              R"(invalidParameterValue("filter_name", 0.0))");
    EXPECT_EQ(
        p.failure("apply_filter", on({{"filter_name", S("grayscale")}, {"intensity", N(1.5)}})),
        R"(invalidParameterValue("intensity", 1.5))");
    EXPECT_EQ(p.failure("apply_filter", on({})), R"(missingParameter("filter_name"))");
}

TEST(ClipToolParsers, CrossDissolveDecidesAloneButNotOnTextClips) {
    MappingProject p;
    EXPECT_EQ(p.map("set_clip_transition", {{"target", S("city.mov")},
                                            {"crossDissolveDuration", N(1)},
                                            {"fadeInDuration", N(9)},
                                            {"type", S("spin")}}),
              EditCommand(EditCommand::CrossDissolve{p.city.id, 1}));
    EXPECT_EQ(
        p.map("set_clip_transition", {{"target", S("city.mov")}, {"crossDissolveDuration", N(0)}}),
        EditCommand(EditCommand::CrossDissolve{p.city.id, 0}));
    EXPECT_EQ(p.failure("set_clip_transition",
                        {{"target", S("city.mov")}, {"crossDissolveDuration", N(5.5)}}),
              R"(invalidParameterValue("crossDissolveDuration", 5.5))");
    EXPECT_EQ(p.failure("set_clip_transition",
                        {{"target", S("Hello")}, {"crossDissolveDuration", N(99)}}),
              R"(missingParameter("crossDissolveDuration is not supported on text clips; use )"
              R"(fadeInDuration or fadeOutDuration"))");
}

TEST(ClipToolParsers, FadeTransitionsCheckDurationsTypesAndEasing) {
    MappingProject p;
    using T = EditCommand::Transition;
    EXPECT_EQ(p.map("set_clip_transition", {{"target", S("city.mov")}, {"fadeInDuration", N(0)}}),
              EditCommand(T{p.city.id, 0.0, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(p.map("set_clip_transition", {{"target", S("city.mov")},
                                            {"fadeInDuration", N(1)},
                                            {"fadeOutDuration", N(5)},
                                            {"type", S("clip_push_left")},
                                            {"easing", S("easeInOut")}}),
              EditCommand(T{p.city.id, 1.0, 5.0, TransitionType::push(Direction::left),
                            EasingCurve::easeInOut}));
    // Unknown names: no type, linear easing; a non-string easing is absent.
    EXPECT_EQ(p.map("set_clip_transition", {{"target", S("Hello")},
                                            {"fadeOutDuration", N(2)},
                                            {"type", S("zoomOut")},
                                            {"easing", S("bouncy")}}),
              EditCommand(T{p.hello.id, std::nullopt, 2.0, std::nullopt, EasingCurve::linear}));
    EXPECT_EQ(p.map("set_clip_transition",
                    {{"target", S("photo.jpg")}, {"fadeOutDuration", N(2)}, {"easing", N(1)}}),
              EditCommand(T{p.photo.id, std::nullopt, 2.0, std::nullopt, std::nullopt}));
    // Fade and cross-dissolve types work on any clip.
    EXPECT_EQ(p.map("set_clip_transition",
                    {{"target", S("Hello")}, {"fadeInDuration", N(1)}, {"type", S("fade")}}),
              EditCommand(T{p.hello.id, 1.0, std::nullopt, TransitionType::fade(), std::nullopt}));
    EXPECT_EQ(
        p.map("set_clip_transition",
              {{"target", S("photo.jpg")}, {"fadeInDuration", N(1)}, {"type", S("crossDissolve")}}),
        EditCommand(
            T{p.photo.id, 1.0, std::nullopt, TransitionType::crossDissolve(), std::nullopt}));

    EXPECT_EQ(p.failure("set_clip_transition", {{"target", S("city.mov")}, {"type", S("fade")}}),
              R"(missingParameter("fadeInDuration, fadeOutDuration, or crossDissolveDuration"))");
    EXPECT_EQ(
        p.failure("set_clip_transition", {{"target", S("city.mov")}, {"fadeInDuration", N(-0.5)}}),
        R"(invalidParameterValue("fadeInDuration", -0.5))");
    EXPECT_EQ(p.failure("set_clip_transition", {{"target", S("city.mov")},
                                                {"fadeInDuration", N(1)},
                                                {"fadeOutDuration", N(kNaN)}}),
              R"(invalidParameterValue("fadeOutDuration", nan))");
    // Durations are checked before the type.
    EXPECT_EQ(p.failure("set_clip_transition",
                        {{"target", S("Hello")}, {"fadeInDuration", N(6)}, {"type", S("spin")}}),
              R"(invalidParameterValue("fadeInDuration", 6.0))");

    // The message travels as a case's string payload: its quotes are escaped.
    const std::string onlyVideo =
        "missingParameter(\"Geometric transitions (push/wipe/slide/spin/flip/zoom) "
        "are only supported on video clips. Use \\'fade\\' for ";
    EXPECT_EQ(p.failure("set_clip_transition",
                        {{"target", S("Hello")}, {"fadeInDuration", N(1)}, {"type", S("spin")}}),
              onlyVideo + "text clips.\")");
    EXPECT_EQ(p.failure("set_clip_transition", {{"target", S("photo.jpg")},
                                                {"fadeInDuration", N(1)},
                                                {"type", S("clip_push_left")}}),
              onlyVideo + "image clips.\")");
    EXPECT_EQ(p.failure("set_clip_transition", {{"target", S("music.mp3")},
                                                {"fadeOutDuration", N(1)},
                                                {"type", S("clip_zoom_in")}}),
              onlyVideo + "audio clips.\")");
}

TEST(ClipToolParsers, FadeRangeAloneIsAbsentUnlessBothEndsAreNumbers) {
    EXPECT_EQ(ClipToolParsers::parseFadeRange({}), std::nullopt);
    EXPECT_EQ(ClipToolParsers::parseFadeRange({{"fadeEnd", N(2)}}), std::nullopt);
    EXPECT_EQ(ClipToolParsers::parseFadeRange({{"fadeStart", N(0)}, {"fadeEnd", N(0.5)}}),
              (TimeRange{0, 0.5}));
}
