#include "domain/entities/EditError.h"

#include "foundation/NumberText.h"
#include "foundation/UnicodeText.h"

#include <utility>

namespace vexel {

namespace {

// Filter names come from the assistant and may be long; the message shows a
// bounded prefix of whole user-perceived characters.
constexpr std::size_t shownFilterNameLength = 50;

template <typename T> std::optional<T> alternative(const EditError::Payload& payload) {
    if (const T* value = std::get_if<T>(&payload)) {
        return *value;
    }
    return std::nullopt;
}

} // namespace

EditError::EditError(Kind kind, Payload payload)
    : kind_(kind)
    , payload_(std::move(payload)) {
    message_ = userMessage();
}

EditError EditError::clipNotFound(Uuid clipID) {
    return EditError(Kind::clipNotFound, clipID);
}
EditError EditError::invalidVolume(double value) {
    return EditError(Kind::invalidVolume, value);
}
EditError EditError::trackNotFound(Uuid trackID) {
    return EditError(Kind::trackNotFound, trackID);
}
EditError EditError::invalidSpeed(double value) {
    return EditError(Kind::invalidSpeed, value);
}
EditError EditError::invalidOpacity(double value) {
    return EditError(Kind::invalidOpacity, value);
}
EditError EditError::invalidBrightness(double value) {
    return EditError(Kind::invalidBrightness, value);
}
EditError EditError::invalidContrast(double value) {
    return EditError(Kind::invalidContrast, value);
}
EditError EditError::invalidSaturation(double value) {
    return EditError(Kind::invalidSaturation, value);
}
EditError EditError::invalidRotation(std::int64_t degrees) {
    return EditError(Kind::invalidRotation, degrees);
}
EditError EditError::invalidTransitionDuration(double seconds) {
    return EditError(Kind::invalidTransitionDuration, seconds);
}
EditError EditError::transitionExceedsClipDuration(double transitionSeconds, double clipSeconds) {
    return EditError(Kind::transitionExceedsClipDuration,
                     Durations{transitionSeconds, clipSeconds});
}
EditError EditError::noAdjacentClip(Uuid clipID) {
    return EditError(Kind::noAdjacentClip, clipID);
}
EditError EditError::invalidFilterName(std::string name) {
    return EditError(Kind::invalidFilterName, std::move(name));
}
EditError EditError::invalidFilterIntensity(double value) {
    return EditError(Kind::invalidFilterIntensity, value);
}
EditError EditError::duckingReferenceTrackNotFound(Uuid trackID) {
    return EditError(Kind::duckingReferenceTrackNotFound, trackID);
}
EditError EditError::invalidScale(double value) {
    return EditError(Kind::invalidScale, value);
}

std::optional<Uuid> EditError::id() const {
    return alternative<Uuid>(payload_);
}
std::optional<double> EditError::value() const {
    return alternative<double>(payload_);
}
std::optional<std::int64_t> EditError::degrees() const {
    return alternative<std::int64_t>(payload_);
}
std::optional<std::string> EditError::filterName() const {
    return alternative<std::string>(payload_);
}
std::optional<EditError::Durations> EditError::durations() const {
    return alternative<Durations>(payload_);
}

std::string EditError::userMessage() const {
    auto number = [this] { return formatNumber(value().value_or(0)); };
    switch (kind_) {
    case Kind::clipNotFound:
        return "The specified clip was not found. It may have been removed.";
    case Kind::invalidVolume:
        return "Invalid volume value (" + number() + "). Volume must be between 0 and 1.";
    case Kind::trackNotFound:
        return "The specified track was not found.";
    case Kind::invalidSpeed:
        return "Invalid speed value (" + number() + "). Speed must be between 0.25 and 4.0.";
    case Kind::invalidOpacity:
        return "Invalid opacity value (" + number() + "). Opacity must be between 0 and 1.";
    case Kind::invalidBrightness:
        return "Invalid brightness value (" + number() + "). Brightness must be between -1 and 1.";
    case Kind::invalidContrast:
        return "Invalid contrast value (" + number() + "). Contrast must be between 0 and 4.";
    case Kind::invalidSaturation:
        return "Invalid saturation value (" + number() + "). Saturation must be between 0 and 4.";
    case Kind::invalidRotation:
        return "Invalid rotation value (" + formatInteger(degrees().value_or(0)) +
               "). Rotation must be 0, 90, 180, or 270 degrees.";
    case Kind::invalidTransitionDuration:
        return "Invalid transition duration (" + number() +
               "s). Duration must be between 0 and 5 seconds.";
    case Kind::transitionExceedsClipDuration: {
        Durations pair = durations().value_or(Durations{});
        return "Transition duration (" + formatNumber(pair.transition) +
               "s) exceeds the clip duration (" + formatNumber(pair.clip) + "s).";
    }
    case Kind::noAdjacentClip:
        return "Cross-dissolve requires two adjacent clips on the same track. This clip has no "
               "next clip.";
    case Kind::invalidFilterName:
        return "Unknown filter '" +
               unicode::graphemePrefix(filterName().value_or(""), shownFilterNameLength) +
               "'. Use a supported filter preset.";
    case Kind::invalidFilterIntensity:
        return "Invalid filter intensity (" + number() + "). Intensity must be between 0 and 1.";
    case Kind::duckingReferenceTrackNotFound:
        return "The ducking reference track was not found.";
    case Kind::invalidScale:
        return "Invalid scale value (" + number() + "). Scale must be between 0.1 and 5.0.";
    case Kind::exceedsMaxDuration:
        return "The change would exceed the maximum project duration.";
    case Kind::invalidSplitPoint:
        return "Invalid split point. The split must be within the clip's time range.";
    case Kind::emptyProject:
        return "The project is empty. Add clips before editing.";
    case Kind::clipOverlap:
        return "The change would cause clips to overlap on the same track.";
    case Kind::trackTypeMismatch:
        return "This operation is not supported for this track type.";
    case Kind::invalidCropRect:
        return "Invalid crop rectangle. Values must be between 0 and 1.";
    case Kind::invalidFadeRange:
        return "Invalid fade range. The fade must be within the clip's time range.";
    case Kind::invalidTimeRange:
        return "Invalid time range. Check start time and duration values.";
    case Kind::maxTracksReached:
        return "The maximum number of tracks has been reached.";
    case Kind::audioTrackOnly:
        return "This operation is only supported on audio tracks.";
    case Kind::maxAudioEffectsReached:
        return "The maximum number of audio effects (8) has been reached for this clip.";
    case Kind::duplicateAudioEffect:
        return "This audio effect is already applied to the clip.";
    case Kind::textAnimationNotSupported:
        return "Text animation is only supported on text clips.";
    case Kind::imageAnimationNotSupported:
        return "Image animation is only supported on image clips.";
    case Kind::audioEffectsNotSupported:
        return "Audio effects are only supported on audio clips.";
    case Kind::invalidKenBurnsRect:
        return "Invalid Ken Burns rectangle. Values must be between 0 and 1.";
    case Kind::invalidImageAnimationParameter:
        return "Invalid image animation parameter. Check the value ranges.";
    case Kind::invalidTextAnimationParameter:
        return "Invalid text animation parameter. Check the value ranges.";
    case Kind::invalidAudioEffectParameter:
        return "Invalid audio effect parameter. Check the value ranges.";
    case Kind::geometricTransitionNotSupported:
        return "Geometric transitions are only supported on video clips.";
    case Kind::rollbackFailed:
        return "Failed to undo changes after an error. The project may be in an inconsistent "
               "state.";
    case Kind::unsupportedCommand:
        return "This command is not supported. Please try a different approach.";
    }
    return "This command is not supported. Please try a different approach.";
}

} // namespace vexel
