#include "domain/usecases/ColorAdjustUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <cmath>

namespace vexel {

Project ColorAdjustUseCase::applyTo(const Project& project, const Uuid& clipId,
                                    std::optional<double> brightness,
                                    std::optional<double> contrast,
                                    std::optional<double> saturation) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    if (brightness && !(std::abs(*brightness) <= 1)) {
        throw EditError::invalidBrightness(*brightness);
    }
    if (contrast && !(0 <= *contrast && *contrast <= 4)) {
        throw EditError::invalidContrast(*contrast);
    }
    if (saturation && !(0 <= *saturation && *saturation <= 4)) {
        throw EditError::invalidSaturation(*saturation);
    }
    ColorAdjust merged = clip.colorAdjust.value_or(ColorAdjust{});
    merged.brightness = brightness.value_or(merged.brightness);
    merged.contrast = contrast.value_or(merged.contrast);
    merged.saturation = saturation.value_or(merged.saturation);

    ClipBuilder builder(clip);
    builder.colorAdjust = merged.isNeutral() ? std::nullopt : std::optional(merged);
    return project.replacingClip(builder.build());
}

Project ColorAdjustUseCase::execute(const Uuid& clipId, std::optional<double> brightness,
                                    std::optional<double> contrast,
                                    std::optional<double> saturation) const {
    return applyAndSave(*projectRepository_, [&](const Project& project) {
        return applyTo(project, clipId, brightness, contrast, saturation);
    });
}

bool ColorAdjustUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::ColorAdjust>();
}

Project ColorAdjustUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* adjust = command.getIf<EditCommand::ColorAdjust>();
    if (adjust == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(adjust->clipId, adjust->brightness, adjust->contrast, adjust->saturation);
}

} // namespace vexel
