#include "domain/usecases/AddTextUseCase.h"

#include "domain/entities/EditError.h"

#include <algorithm>

namespace vexel {

Project AddTextUseCase::execute(const std::string& text, std::optional<double> at, double duration,
                                const TextPosition& position, const TextStyle& style) const {
    const Project project = projectRepository_->load();
    const Track* textTrack = nullptr;
    for (const auto& track : project.tracks) {
        if (track.type == TrackType::text) {
            textTrack = &track;
            break;
        }
    }

    double start = 0;
    if (at) {
        start = *at;
    } else if (textTrack != nullptr && !textTrack->clips.empty()) {
        start = textTrack->clips.front().timeRange.endTime();
        for (const auto& clip : textTrack->clips) {
            start = std::max(start, clip.timeRange.endTime());
        }
    }
    // As for a text edit: a text clip of no or negative length would vanish from
    // the timeline and hide inside its neighbours past every overlap test.
    if (!(duration > 0)) {
        throw EditError::invalidTimeRange();
    }
    const TimeRange range{start, duration};
    if (!(range.startTime + range.duration <= project.maxDuration)) {
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

    Project result = project.addingClip(clip, TrackType::text);
    projectRepository_->save(result);
    return result;
}

bool AddTextUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::AddText>();
}

Project AddTextUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* add = command.getIf<EditCommand::AddText>();
    if (add == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(add->text, add->at, add->duration,
                   add->position.value_or(TextPosition::bottom()),
                   add->style.value_or(TextStyle::defaultStyle()));
}

} // namespace vexel
