#include "data/composition/CrossDissolvePair.h"

#include <algorithm>

namespace vexel {

namespace {

using media::MediaTime;
using Kind = TransitionType::Kind;

bool isCrossDissolve(const std::optional<TransitionType>& type) {
    return type && type->kind() == Kind::crossDissolve;
}

bool isCrossDissolve(const std::optional<TransitionEffect>& transition) {
    return transition && transition->type.kind() == Kind::crossDissolve;
}

} // namespace

bool CrossDissolvePair::joins(const VideoTrackEntry& outgoing, const VideoTrackEntry& incoming) {
    if (!isCrossDissolve(outgoing.transitionOut) || !isCrossDissolve(incoming.transitionIn)) {
        return false;
    }
    // The windows as the clip layers take them (whole 1/600 s).
    const MediaTime exitLength = MediaTime::fromSeconds(outgoing.transitionOut->duration);
    const MediaTime entranceLength = MediaTime::fromSeconds(incoming.transitionIn->duration);
    return outgoing.compositionEndTime - exitLength == incoming.compositionStartTime &&
           outgoing.compositionEndTime == incoming.compositionStartTime + entranceLength &&
           entranceLength > MediaTime::zero();
}

bool CrossDissolvePair::joins(const ColorAdjustInstruction::Entry& outgoing,
                              const ColorAdjustInstruction::Entry& incoming) {
    const FadeTimingInfo& out = outgoing.fadeTiming;
    const FadeTimingInfo& in = incoming.fadeTiming;
    return isCrossDissolve(outgoing.transitionOutType) &&
           isCrossDissolve(incoming.transitionType) && out.fadeOutStart && out.fadeOutEnd &&
           in.fadeInStart && in.fadeInEnd && *out.fadeOutStart == *in.fadeInStart &&
           *out.fadeOutEnd == *in.fadeInEnd && *in.fadeInStart < *in.fadeInEnd;
}

bool CrossDissolvePair::isMixing(const ColorAdjustInstruction::Entry& incoming,
                                 const MediaTime& time) {
    const FadeTimingInfo& in = incoming.fadeTiming;
    return in.fadeInStart && in.fadeInEnd && *in.fadeInStart <= time && time < *in.fadeInEnd;
}

float CrossDissolvePair::lowerOpacity(double progress, float upperOpacity, float lowerOpacity) {
    const double p = std::clamp(progress, 0.0, 1.0);
    const double upper = std::clamp<double>(upperOpacity, 0, 1);
    // Upper a·(1 − p) over lower β shows the lower at (1 − a·(1 − p))·β.
    const double showing = 1 - upper * (1 - p);
    if (!(showing > 0)) {
        return lowerOpacity;
    }
    return static_cast<float>(std::min(1.0, p * lowerOpacity / showing));
}

} // namespace vexel
