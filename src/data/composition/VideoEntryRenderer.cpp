#include "data/composition/VideoEntryRenderer.h"

#include "data/composition/OverlayGeometry.h"
#include "domain/usecases/TransitionUseCase.h"
#include "platform/image/ColorOperation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vexel {

namespace {

using media::Affine;
using media::MediaTime;
using media::Rect;
using media::Size;
using Entry = ColorAdjustInstruction::Entry;
using Kind = TransitionType::Kind;

bool isGeometric(const std::optional<TransitionType>& type) {
    return type && TransitionUseCase::isGeometric(*type);
}

bool isFinite(const ColorAdjust& adjust) {
    return std::isfinite(adjust.brightness) && std::isfinite(adjust.contrast) &&
           std::isfinite(adjust.saturation);
}

bool inWindow(const std::optional<MediaTime>& start, const std::optional<MediaTime>& end,
              const MediaTime& time, bool endIncluded) {
    if (!start || !end) {
        return false;
    }
    return *start <= time && (endIncluded ? time <= *end : time < *end);
}

// The eased progress through a window at `time`; nothing when the window is
// missing or not longer than zero.
std::optional<double> easedProgressIn(const std::optional<MediaTime>& start,
                                      const std::optional<MediaTime>& end, EasingCurve easing,
                                      const MediaTime& time) {
    if (!start || !end) {
        return std::nullopt;
    }
    const double length = (*end - *start).seconds();
    if (!(length > 0)) {
        return std::nullopt;
    }
    const double p = std::clamp((time - *start).seconds() / length, 0.0, 1.0);
    return easedProgress(easing, p);
}

Affine aboutCentre(const Affine& operation, Size canvas) {
    return OverlayGeometry::about(operation, {canvas.width / 2, canvas.height / 2});
}

Affine slide(Direction direction, double share, Size canvas) {
    switch (direction) {
    case Direction::left:
        return Affine::translation(share * canvas.width, 0);
    case Direction::right:
        return Affine::translation(-share * canvas.width, 0);
    case Direction::up:
        return Affine::translation(0, -share * canvas.height);
    case Direction::down:
        return Affine::translation(0, share * canvas.height);
    }
    return Affine::identity();
}

// The part of the canvas a wipe entering towards `direction` has uncovered at
// progress e.
Rect entranceWipe(Direction direction, double e, Size canvas) {
    const double w = canvas.width;
    const double h = canvas.height;
    switch (direction) {
    case Direction::left:
        return {{(1 - e) * w, 0}, {e * w, h}};
    case Direction::right:
        return {{0, 0}, {e * w, h}};
    case Direction::up:
        return {{0, 0}, {w, e * h}};
    case Direction::down:
        return {{0, (1 - e) * h}, {w, e * h}};
    }
    return {{0, 0}, canvas};
}

// The part of the canvas a wipe leaving towards `direction` still shows at
// progress e.
Rect exitWipe(Direction direction, double e, Size canvas) {
    const double w = canvas.width;
    const double h = canvas.height;
    switch (direction) {
    case Direction::left:
        return {{0, 0}, {(1 - e) * w, h}};
    case Direction::right:
        return {{e * w, 0}, {(1 - e) * w, h}};
    case Direction::up:
        return {{0, e * h}, {w, (1 - e) * h}};
    case Direction::down:
        return {{0, 0}, {w, (1 - e) * h}};
    }
    return {{0, 0}, canvas};
}

Direction directionOf(const TransitionType& type) {
    return type.direction().value_or(Direction::left);
}

} // namespace

image::Picture VideoEntryRenderer::layer(const Entry& entry, const media::PixelBuffer& sourceBuffer,
                                         const MediaTime& time, Size canvasSize) {
    image::Picture picture(sourceBuffer);
    if (entry.cropRect) {
        picture = picture.cropped(*entry.cropRect);
    }
    picture = picture.transformed(entry.transform);
    // A neutral adjustment changes no pixel; leaving it out saves a colour
    // step on every pixel of the frame.
    if (entry.colorAdjust && !entry.colorAdjust->isNeutral() && isFinite(*entry.colorAdjust)) {
        picture = picture.colorControls(entry.colorAdjust->brightness, entry.colorAdjust->contrast,
                                        entry.colorAdjust->saturation);
    }
    if (entry.filter) {
        if (std::optional<image::Picture> filtered = applyFilterPreset(*entry.filter, picture)) {
            picture = std::move(*filtered);
        }
    }

    const FadeTimingInfo& timing = entry.fadeTiming;
    if (isGeometric(entry.transitionType) &&
        inWindow(timing.fadeInStart, timing.fadeInEnd, time, false)) {
        return applyTransitionTransform(picture, entry, canvasSize, time);
    }
    if (isGeometric(entry.transitionOutType) &&
        inWindow(timing.fadeOutStart, timing.fadeOutEnd, time, true)) {
        return applyExitTransitionTransform(picture, entry, canvasSize, time);
    }
    const float opacity = timing.effectiveOpacity(time);
    if (opacity < 1) {
        picture = picture.withAlpha(opacity);
    }
    return picture;
}

void VideoEntryRenderer::composite(const Entry& entry, const media::PixelBuffer& sourceBuffer,
                                   FrameCanvas& canvas, const MediaTime& time, Size canvasSize) {
    std::optional<image::Picture> drawn;
    try {
        drawn = layer(entry, sourceBuffer, time, canvasSize);
    } catch (const std::logic_error&) {
        // Numbers that place the layer nowhere: the frame goes on without it.
        return;
    }
    canvas.draw(*drawn);
}

std::optional<image::Picture> VideoEntryRenderer::applyFilterPreset(const FilterPreset& preset,
                                                                    const image::Picture& picture) {
    if (!std::isfinite(preset.intensity)) {
        return std::nullopt;
    }
    std::optional<image::ColorOperation> operation =
        image::filterPreset(preset.name, preset.intensity);
    if (!operation) {
        return std::nullopt;
    }
    return picture.withColor(*operation);
}

image::Picture VideoEntryRenderer::applyTransitionTransform(const image::Picture& picture,
                                                            const Entry& entry, Size canvasSize,
                                                            const MediaTime& time) {
    if (!isGeometric(entry.transitionType)) {
        return picture;
    }
    const std::optional<double> progress = easedProgressIn(
        entry.fadeTiming.fadeInStart, entry.fadeTiming.fadeInEnd, entry.transitionEasing, time);
    if (!progress || *progress >= 1) {
        return picture;
    }
    const double e = *progress;
    const TransitionType& type = *entry.transitionType;
    switch (type.kind()) {
    case Kind::push:
    case Kind::slide:
        return picture.transformed(slide(directionOf(type), 1 - e, canvasSize));
    case Kind::wipe:
        return picture.cropped(entranceWipe(directionOf(type), e, canvasSize));
    case Kind::spin:
        return applySpin(picture, e, canvasSize);
    case Kind::flip:
        return picture.transformed(
            aboutCentre(Affine::scale(std::max(std::abs(1 - 2 * e), 0.001), 1), canvasSize));
    case Kind::zoomIn: {
        const double s = std::max(e, 0.001);
        return picture.transformed(aboutCentre(Affine::scale(s, s), canvasSize));
    }
    case Kind::zoomOut:
        return picture.transformed(aboutCentre(Affine::scale(2 - e, 2 - e), canvasSize));
    case Kind::fade:
    case Kind::crossDissolve:
        break;
    }
    return picture;
}

image::Picture VideoEntryRenderer::applyExitTransitionTransform(const image::Picture& picture,
                                                                const Entry& entry, Size canvasSize,
                                                                const MediaTime& time) {
    if (!isGeometric(entry.transitionOutType)) {
        return picture;
    }
    const std::optional<double> progress =
        easedProgressIn(entry.fadeTiming.fadeOutStart, entry.fadeTiming.fadeOutEnd,
                        entry.transitionOutEasing, time);
    if (!progress || *progress <= 0) {
        return picture;
    }
    const double e = *progress;
    const TransitionType& type = *entry.transitionOutType;
    switch (type.kind()) {
    case Kind::push:
    case Kind::slide:
        // Leaving towards a direction is the entrance from the other side.
        return picture.transformed(slide(directionOf(type), -e, canvasSize));
    case Kind::wipe:
        return picture.cropped(exitWipe(directionOf(type), e, canvasSize));
    case Kind::spin:
        return applyExitSpin(picture, e, canvasSize);
    case Kind::flip:
        return picture.transformed(
            aboutCentre(Affine::scale(std::max(1 - e, 0.001), 1), canvasSize));
    case Kind::zoomIn:
        return picture.transformed(aboutCentre(Affine::scale(1 + e, 1 + e), canvasSize));
    case Kind::zoomOut: {
        const double s = std::max(1 - e, 0.001);
        return picture.transformed(aboutCentre(Affine::scale(s, s), canvasSize));
    }
    case Kind::fade:
    case Kind::crossDissolve:
        break;
    }
    return picture;
}

image::Picture VideoEntryRenderer::applySpin(const image::Picture& picture, double progress,
                                             Size canvasSize) {
    image::Picture turned = picture.transformed(
        aboutCentre(OverlayGeometry::rotationDegrees(360 * progress), canvasSize));
    return progress < 1 ? turned.withAlpha(progress) : turned;
}

image::Picture VideoEntryRenderer::applyExitSpin(const image::Picture& picture, double progress,
                                                 Size canvasSize) {
    image::Picture turned = picture.transformed(
        aboutCentre(OverlayGeometry::rotationDegrees(360 * progress), canvasSize));
    return progress > 0 ? turned.withAlpha(1 - progress) : turned;
}

} // namespace vexel
