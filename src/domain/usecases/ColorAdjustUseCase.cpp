#include "domain/usecases/ColorAdjustUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <cmath>

namespace vexel {

Project ColorAdjustUseCase::applyTo(Project project, const Uuid& clipId,
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
    return std::move(project).replacingClip(builder.build());
}

Project ColorAdjustUseCase::applyCase(const EditCommand::ColorAdjust& adjust,
                                      Project project) const {
    return applyTo(std::move(project), adjust.clipId, adjust.brightness, adjust.contrast,
                   adjust.saturation);
}

} // namespace vexel
