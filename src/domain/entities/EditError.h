#pragma once

#include "foundation/Uuid.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <variant>

namespace vexel {

// Why an edit could not be applied. Thrown by the edit engine; `userMessage()`
// is the sentence the chat shows for it.
class EditError : public std::exception {
public:
    // In declaration order: the cases that carry values come first.
    enum class Kind {
        clipNotFound,
        invalidVolume,
        trackNotFound,
        invalidSpeed,
        invalidOpacity,
        invalidBrightness,
        invalidContrast,
        invalidSaturation,
        invalidRotation,
        invalidTransitionDuration,
        transitionExceedsClipDuration,
        noAdjacentClip,
        invalidFilterName,
        invalidFilterIntensity,
        duckingReferenceTrackNotFound,
        invalidScale,
        exceedsMaxDuration,
        invalidSplitPoint,
        emptyProject,
        clipOverlap,
        trackTypeMismatch,
        invalidCropRect,
        invalidFadeRange,
        invalidTimeRange,
        maxTracksReached,
        audioTrackOnly,
        maxAudioEffectsReached,
        duplicateAudioEffect,
        textAnimationNotSupported,
        imageAnimationNotSupported,
        audioEffectsNotSupported,
        invalidKenBurnsRect,
        invalidImageAnimationParameter,
        invalidTextAnimationParameter,
        invalidAudioEffectParameter,
        geometricTransitionNotSupported,
        rollbackFailed,
        unsupportedCommand,
    };

    // The two seconds values of `transitionExceedsClipDuration`, in that order.
    struct Durations {
        double transition = 0;
        double clip = 0;
        friend bool operator==(const Durations&, const Durations&) = default;
    };

    // The values a case carries: a clip or track id, a double, the rotation in
    // degrees, the filter name asked for, or the two durations.
    using Payload =
        std::variant<std::monostate, Uuid, double, std::int64_t, std::string, Durations>;

    static EditError clipNotFound(Uuid clipID);
    static EditError invalidVolume(double value);
    static EditError trackNotFound(Uuid trackID);
    static EditError invalidSpeed(double value);
    static EditError invalidOpacity(double value);
    static EditError invalidBrightness(double value);
    static EditError invalidContrast(double value);
    static EditError invalidSaturation(double value);
    static EditError invalidRotation(std::int64_t degrees);
    static EditError invalidTransitionDuration(double seconds);
    static EditError transitionExceedsClipDuration(double transitionSeconds, double clipSeconds);
    static EditError noAdjacentClip(Uuid clipID);
    static EditError invalidFilterName(std::string name);
    static EditError invalidFilterIntensity(double value);
    static EditError duckingReferenceTrackNotFound(Uuid trackID);
    static EditError invalidScale(double value);

    static EditError exceedsMaxDuration() { return EditError(Kind::exceedsMaxDuration, {}); }
    static EditError invalidSplitPoint() { return EditError(Kind::invalidSplitPoint, {}); }
    static EditError emptyProject() { return EditError(Kind::emptyProject, {}); }
    static EditError clipOverlap() { return EditError(Kind::clipOverlap, {}); }
    static EditError trackTypeMismatch() { return EditError(Kind::trackTypeMismatch, {}); }
    static EditError invalidCropRect() { return EditError(Kind::invalidCropRect, {}); }
    static EditError invalidFadeRange() { return EditError(Kind::invalidFadeRange, {}); }
    static EditError invalidTimeRange() { return EditError(Kind::invalidTimeRange, {}); }
    static EditError maxTracksReached() { return EditError(Kind::maxTracksReached, {}); }
    static EditError audioTrackOnly() { return EditError(Kind::audioTrackOnly, {}); }
    static EditError maxAudioEffectsReached() {
        return EditError(Kind::maxAudioEffectsReached, {});
    }
    static EditError duplicateAudioEffect() { return EditError(Kind::duplicateAudioEffect, {}); }
    static EditError textAnimationNotSupported() {
        return EditError(Kind::textAnimationNotSupported, {});
    }
    static EditError imageAnimationNotSupported() {
        return EditError(Kind::imageAnimationNotSupported, {});
    }
    static EditError audioEffectsNotSupported() {
        return EditError(Kind::audioEffectsNotSupported, {});
    }
    static EditError invalidKenBurnsRect() { return EditError(Kind::invalidKenBurnsRect, {}); }
    static EditError invalidImageAnimationParameter() {
        return EditError(Kind::invalidImageAnimationParameter, {});
    }
    static EditError invalidTextAnimationParameter() {
        return EditError(Kind::invalidTextAnimationParameter, {});
    }
    static EditError invalidAudioEffectParameter() {
        return EditError(Kind::invalidAudioEffectParameter, {});
    }
    static EditError geometricTransitionNotSupported() {
        return EditError(Kind::geometricTransitionNotSupported, {});
    }
    static EditError rollbackFailed() { return EditError(Kind::rollbackFailed, {}); }
    static EditError unsupportedCommand() { return EditError(Kind::unsupportedCommand, {}); }

    Kind kind() const { return kind_; }
    const Payload& payload() const { return payload_; }

    // The case's values; nullopt for a case that carries none of that sort.
    std::optional<Uuid> id() const;
    std::optional<double> value() const;
    std::optional<std::int64_t> degrees() const;
    std::optional<std::string> filterName() const;
    std::optional<Durations> durations() const;

    // Fixed English text; shows the case's number or filter name, never an id.
    std::string userMessage() const;
    const char* what() const noexcept override { return message_.c_str(); }

    // Same case and equal values (doubles compare numerically).
    friend bool operator==(const EditError& lhs, const EditError& rhs) {
        return lhs.kind_ == rhs.kind_ && lhs.payload_ == rhs.payload_;
    }

private:
    EditError(Kind kind, Payload payload);

    Kind kind_;
    Payload payload_;
    std::string message_;
};

} // namespace vexel
