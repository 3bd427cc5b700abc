#pragma once

#include "domain/entities/TextAnimation.h"
#include "domain/utilities/TextAnimationState.h"

// The one place text motion is computed, so that the preview and the export
// draw the same thing. Pure, allocation-free and safe to call from any thread.
namespace vexel::TextAnimationCalculator {

// `elapsed` is the time since the clip's start in seconds (may lie outside the
// clip); a non-positive or NaN `clipDuration` gives the neutral state.
TextAnimationState calculate(const TextAnimation& animation, double elapsed, double clipDuration);

} // namespace vexel::TextAnimationCalculator
