#include "domain/entities/EditError.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace vexel;

namespace {

struct Case {
    EditError error;
    EditError::Kind kind;
    std::string message;
};

std::string repeated(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

} // namespace

TEST(EditError, EveryCaseRendersItsMessage) {
    using K = EditError::Kind;
    Uuid id = Uuid::random();
    const std::vector<Case> cases = {
        {EditError::clipNotFound(id), K::clipNotFound,
         "The specified clip was not found. It may have been removed."},
        {EditError::invalidVolume(1.5), K::invalidVolume,
         "Invalid volume value (1.5). Volume must be between 0 and 1."},
        {EditError::trackNotFound(id), K::trackNotFound, "The specified track was not found."},
        {EditError::invalidSpeed(8.0), K::invalidSpeed,
         "Invalid speed value (8.0). Speed must be between 0.25 and 4.0."},
        {EditError::invalidOpacity(-0.25), K::invalidOpacity,
         "Invalid opacity value (-0.25). Opacity must be between 0 and 1."},
        {EditError::invalidBrightness(-2.5), K::invalidBrightness,
         "Invalid brightness value (-2.5). Brightness must be between -1 and 1."},
        {EditError::invalidContrast(6), K::invalidContrast,
         "Invalid contrast value (6.0). Contrast must be between 0 and 4."},
        {EditError::invalidSaturation(4.25), K::invalidSaturation,
         "Invalid saturation value (4.25). Saturation must be between 0 and 4."},
        {EditError::invalidRotation(45), K::invalidRotation,
         "Invalid rotation value (45). Rotation must be 0, 90, 180, or 270 degrees."},
        {EditError::invalidTransitionDuration(7.5), K::invalidTransitionDuration,
         "Invalid transition duration (7.5s). Duration must be between 0 and 5 seconds."},
        {EditError::transitionExceedsClipDuration(3.0, 2.5), K::transitionExceedsClipDuration,
         "Transition duration (3.0s) exceeds the clip duration (2.5s)."},
        {EditError::noAdjacentClip(id), K::noAdjacentClip,
         "Cross-dissolve requires two adjacent clips on the same track. This clip has no next "
         "clip."},
        {EditError::invalidFilterName("vintage"), K::invalidFilterName,
         "Unknown filter 'vintage'. Use a supported filter preset."},
        {EditError::invalidFilterIntensity(1.1), K::invalidFilterIntensity,
         "Invalid filter intensity (1.1). Intensity must be between 0 and 1."},
        {EditError::duckingReferenceTrackNotFound(id), K::duckingReferenceTrackNotFound,
         "The ducking reference track was not found."},
        {EditError::invalidScale(0.05), K::invalidScale,
         "Invalid scale value (0.05). Scale must be between 0.1 and 5.0."},
        {EditError::exceedsMaxDuration(), K::exceedsMaxDuration,
         "The change would exceed the maximum project duration."},
        {EditError::invalidSplitPoint(), K::invalidSplitPoint,
         "Invalid split point. The split must be within the clip's time range."},
        {EditError::emptyProject(), K::emptyProject,
         "The project is empty. Add clips before editing."},
        {EditError::clipOverlap(), K::clipOverlap,
         "The change would cause clips to overlap on the same track."},
        {EditError::trackTypeMismatch(), K::trackTypeMismatch,
         "This operation is not supported for this track type."},
        {EditError::invalidCropRect(), K::invalidCropRect,
         "Invalid crop rectangle. Values must be between 0 and 1."},
        {EditError::invalidFadeRange(), K::invalidFadeRange,
         "Invalid fade range. The fade must be within the clip's time range."},
        {EditError::invalidTimeRange(), K::invalidTimeRange,
         "Invalid time range. Check start time and duration values."},
        {EditError::maxTracksReached(), K::maxTracksReached,
         "The maximum number of tracks has been reached."},
        {EditError::audioTrackOnly(), K::audioTrackOnly,
         "This operation is only supported on audio tracks."},
        {EditError::maxAudioEffectsReached(), K::maxAudioEffectsReached,
         "The maximum number of audio effects (8) has been reached for this clip."},
        {EditError::duplicateAudioEffect(), K::duplicateAudioEffect,
         "This audio effect is already applied to the clip."},
        {EditError::textAnimationNotSupported(), K::textAnimationNotSupported,
         "Text animation is only supported on text clips."},
        {EditError::imageAnimationNotSupported(), K::imageAnimationNotSupported,
         "Image animation is only supported on image clips."},
        {EditError::audioEffectsNotSupported(), K::audioEffectsNotSupported,
         "Audio effects are only supported on audio clips."},
        {EditError::invalidKenBurnsRect(), K::invalidKenBurnsRect,
         "Invalid Ken Burns rectangle. Values must be between 0 and 1."},
        {EditError::invalidImageAnimationParameter(), K::invalidImageAnimationParameter,
         "Invalid image animation parameter. Check the value ranges."},
        {EditError::invalidTextAnimationParameter(), K::invalidTextAnimationParameter,
         "Invalid text animation parameter. Check the value ranges."},
        {EditError::invalidAudioEffectParameter(), K::invalidAudioEffectParameter,
         "Invalid audio effect parameter. Check the value ranges."},
        {EditError::geometricTransitionNotSupported(), K::geometricTransitionNotSupported,
         "Geometric transitions are only supported on video clips."},
        {EditError::rollbackFailed(), K::rollbackFailed,
         "Failed to undo changes after an error. The project may be in an inconsistent state."},
        {EditError::unsupportedCommand(), K::unsupportedCommand,
         "This command is not supported. Please try a different approach."},
    };
    ASSERT_EQ(cases.size(), 38u);
    for (std::size_t tag = 0; tag < cases.size(); ++tag) {
        const Case& c = cases[tag];
        SCOPED_TRACE(c.message);
        EXPECT_EQ(c.error.kind(), c.kind);
        // Declaration order is the tag order: payload cases 0-15, then the rest.
        EXPECT_EQ(static_cast<std::size_t>(c.error.kind()), tag);
        EXPECT_EQ(std::holds_alternative<std::monostate>(c.error.payload()), tag >= 16);
        EXPECT_EQ(c.error.userMessage(), c.message);
        EXPECT_STREQ(c.error.what(), c.message.c_str());
    }
}

TEST(EditError, NumbersPrintInTheirShortestRoundTripForm) {
    EXPECT_EQ(EditError::invalidRotation(-90).userMessage(),
              "Invalid rotation value (-90). Rotation must be 0, 90, 180, or 270 degrees.");
    EXPECT_EQ(EditError::invalidVolume(0.1 + 0.2).userMessage(),
              "Invalid volume value (0.30000000000000004). Volume must be between 0 and 1.");
    EXPECT_EQ(EditError::invalidScale(1e-5).userMessage(),
              "Invalid scale value (1e-05). Scale must be between 0.1 and 5.0.");
    EXPECT_EQ(EditError::invalidSpeed(std::numeric_limits<double>::quiet_NaN()).userMessage(),
              "Invalid speed value (nan). Speed must be between 0.25 and 4.0.");
    EXPECT_EQ(
        EditError::transitionExceedsClipDuration(std::numeric_limits<double>::infinity(), 100000)
            .userMessage(),
        "Transition duration (infs) exceeds the clip duration (100000.0s).");
    EXPECT_EQ(EditError::invalidRotation(std::numeric_limits<std::int64_t>::min()).userMessage(),
              "Invalid rotation value (-9223372036854775808). Rotation must be 0, 90, 180, or "
              "270 degrees.");
}

TEST(EditError, FilterNameIsCutToFiftyCharactersNotBytes) {
    EXPECT_EQ(EditError::invalidFilterName("").userMessage(),
              "Unknown filter ''. Use a supported filter preset.");
    EXPECT_EQ(EditError::invalidFilterName(repeated("a", 60)).userMessage(),
              "Unknown filter '" + repeated("a", 50) + "'. Use a supported filter preset.");
    EXPECT_EQ(EditError::invalidFilterName(repeated("b", 50)).userMessage(),
              "Unknown filter '" + repeated("b", 50) + "'. Use a supported filter preset.");
    // "e" + combining acute is one character of three bytes; a flag is one
    // character of eight.
    std::string accented = "e\xCC\x81";
    std::string flag = "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5";
    EXPECT_EQ(EditError::invalidFilterName(repeated(accented, 55)).userMessage(),
              "Unknown filter '" + repeated(accented, 50) + "'. Use a supported filter preset.");
    EXPECT_EQ(EditError::invalidFilterName(repeated(flag, 51)).userMessage(),
              "Unknown filter '" + repeated(flag, 50) + "'. Use a supported filter preset.");
    // The payload keeps the whole name; only the message is cut.
    EXPECT_EQ(EditError::invalidFilterName(repeated("a", 60)).filterName(), repeated("a", 60));
}

TEST(EditError, EqualityComparesCaseAndValues) {
    Uuid first = Uuid::random();
    Uuid second = Uuid::random();
    EXPECT_EQ(EditError::clipNotFound(first).userMessage(),
              EditError::clipNotFound(second).userMessage());
    EXPECT_NE(EditError::clipNotFound(first), EditError::clipNotFound(second));
    EXPECT_EQ(EditError::clipNotFound(first), EditError::clipNotFound(first));
    EXPECT_NE(EditError::clipNotFound(first), EditError::noAdjacentClip(first));
    EXPECT_NE(EditError::trackNotFound(first), EditError::duckingReferenceTrackNotFound(first));

    EXPECT_EQ(EditError::invalidVolume(1.5), EditError::invalidVolume(1.5));
    EXPECT_NE(EditError::invalidVolume(1.5), EditError::invalidOpacity(1.5));
    EXPECT_NE(EditError::invalidVolume(1.5), EditError::invalidVolume(1.25));
    EXPECT_EQ(EditError::invalidVolume(0.0), EditError::invalidVolume(-0.0));
    double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(EditError::invalidVolume(nan), EditError::invalidVolume(nan));

    EXPECT_EQ(EditError::transitionExceedsClipDuration(3.0, 2.5),
              EditError::transitionExceedsClipDuration(3.0, 2.5));
    EXPECT_NE(EditError::transitionExceedsClipDuration(3.0, 2.5),
              EditError::transitionExceedsClipDuration(2.5, 3.0));
    EXPECT_EQ(EditError::invalidFilterName("Sepia"), EditError::invalidFilterName("Sepia"));
    EXPECT_NE(EditError::invalidFilterName("Sepia"), EditError::invalidFilterName("sepia"));
    EXPECT_EQ(EditError::emptyProject(), EditError::emptyProject());
    EXPECT_NE(EditError::emptyProject(), EditError::clipOverlap());
}

TEST(EditError, CarriesItsValuesAndThrowsAsAStandardException) {
    Uuid id = Uuid::random();
    EXPECT_EQ(EditError::trackNotFound(id).id(), id);
    EXPECT_FALSE(EditError::trackNotFound(id).value().has_value());
    EXPECT_EQ(EditError::invalidBrightness(-2.5).value(), -2.5);
    EXPECT_EQ(EditError::invalidRotation(45).degrees(), 45);
    EXPECT_FALSE(EditError::invalidRotation(45).value().has_value());
    auto durations = EditError::transitionExceedsClipDuration(3.0, 2.5).durations();
    ASSERT_TRUE(durations.has_value());
    EXPECT_EQ(durations->transition, 3.0);
    EXPECT_EQ(durations->clip, 2.5);
    EXPECT_FALSE(EditError::rollbackFailed().id().has_value());

    try {
        throw EditError::invalidSpeed(8.0);
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(),
                     "Invalid speed value (8.0). Speed must be between 0.25 and 4.0.");
        const auto* edit = dynamic_cast<const EditError*>(&error);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(*edit, EditError::invalidSpeed(8.0));
    }
}
