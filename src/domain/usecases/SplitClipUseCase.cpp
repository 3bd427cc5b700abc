#include "domain/usecases/SplitClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/FadeRangeRule.h"
#include "domain/utilities/ClipNameGenerator.h"

namespace vexel {

namespace {

// The fade range is counted from the clip's start, so the second half has to see
// it shifted by the cut; otherwise the fade would replay after the cut.
std::optional<TimeRange> fadeRangeAfterCut(const std::optional<TimeRange>& fade, double cut) {
    if (!fade) {
        return std::nullopt;
    }
    const double start = fade->startTime - cut;
    const double end = start + fade->duration;
    if (end <= 0) {
        return std::nullopt; // the fade was over before the cut
    }
    if (start >= 0) {
        return TimeRange{start, fade->duration};
    }
    return TimeRange{0, end}; // the rest of a fade running across the cut
}

} // namespace

Project SplitClipUseCase::applyTo(Project project, const Uuid& clipId, double at) const {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    const double start = clip->timeRange.startTime;
    const double end = clip->timeRange.startTime + clip->timeRange.duration;
    if (!(start < at && at < end)) {
        throw EditError::invalidSplitPoint();
    }
    const auto names = ClipNameGenerator::generateNames(clip->assetName, 2, project.allClipNames());

    ClipBuilder first(*clip);
    first.id = Uuid::random();
    first.assetName = names.at(0);
    first.timeRange = TimeRange{start, at - start};
    first.transitionOut = std::nullopt;

    ClipBuilder second(*clip);
    second.id = Uuid::random();
    second.assetName = names.at(1);
    second.timeRange = TimeRange{at, end - at};
    second.sourceOffset = clip->sourceOffset + (at - start) * clip->rate;
    second.transitionIn = std::nullopt;
    second.fadeRange = fadeRangeAfterCut(clip->fadeRange, at - start);

    return std::move(project).replacingClipWithSplit(
        clipId, applyingFadeRangeRule(first.build().clampingTransitions()),
        applyingFadeRangeRule(second.build().clampingTransitions()));
}

Project SplitClipUseCase::applyCase(const EditCommand::Split& split, Project project) const {
    return applyTo(std::move(project), split.clipId, split.at);
}

} // namespace vexel
