#include "domain/usecases/AddTextUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project AddTextUseCase::applyTo(Project project, const std::string& text, std::optional<double> at,
                                double duration, const TextPosition& position,
                                const TextStyle& style) const {
    const Track* textTrack = nullptr;
    for (const auto& track : project.tracks) {
        if (track.type == TrackType::text) {
            textTrack = &track;
            break;
        }
    }

    const double start = at.value_or(endOfTrack(textTrack));
    // As for a text edit: a text clip of no or negative length would vanish from
    // the timeline and hide inside its neighbours past every overlap test.
    if (!(duration > 0)) {
        throw EditError::invalidTimeRange();
    }
    const TimeRange range{start, duration};
    if (!endsWithinProject(project, range.startTime, range.duration)) {
        throw EditError::exceedsMaxDuration();
    }
    if (textTrack != nullptr && textTrack->hasOverlap(range)) {
        throw EditError::clipOverlap();
    }

    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = text;
    clip.assetURL = std::nullopt;
    clip.trackType = TrackType::text;
    clip.timeRange = range;
    // Text makes no sound.
    clip.volume = 0.0;
    clip.textPosition = position;
    clip.textStyle = style;

    return std::move(project).addingClip(std::move(clip), TrackType::text);
}

Project AddTextUseCase::applyCase(const EditCommand::AddText& add, Project project) const {
    return applyTo(std::move(project), add.text, add.at, add.duration,
                   add.position.value_or(TextPosition::bottom()),
                   add.style.value_or(TextStyle::defaultStyle()));
}

} // namespace vexel
