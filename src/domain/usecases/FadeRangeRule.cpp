#include "domain/usecases/FadeRangeRule.h"

#include "domain/entities/ClipBuilder.h"

namespace vexel {

Clip applyingFadeRangeRule(const Clip& clip) {
    if (!clip.fadeRange ||
        !(clip.timeRange.duration < clip.fadeRange->startTime + clip.fadeRange->duration)) {
        return clip;
    }
    ClipBuilder builder(clip);
    builder.fadeRange = std::nullopt;
    return builder.build();
}

} // namespace vexel
