#include "data/composition/ImageOverlayRenderer.h"

#include "data/composition/OverlayGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>
#include <variant>

namespace vexel {

using media::Affine;
using media::Rect;
using OverlayGeometry::about;
using OverlayGeometry::transformedIfFinite;

namespace {

double progress(const ImageAnimation& animation, const FadeTimingInfo& timing,
                const media::MediaTime& time) {
    const double start = timing.compositionStartTime.seconds();
    const double end = timing.compositionEndTime.seconds();
    const double duration = end - start;
    if (!(duration > 0)) {
        return 1;
    }
    return easedProgress(animation.easing, (time.seconds() - start) / duration);
}

double lerp(double from, double to, double e) {
    return from + e * (to - from);
}

// The framing at progress e cut out of the image and enlarged to cover the
// frame, centred. The image as it was when the framing keeps nothing of it:
// covering would divide by its empty size.
image::Picture kenBurns(const image::Picture& image, const ImageAnimationType::KenBurns& motion,
                        double e, media::Size frame) {
    const Rect extent = image.extent();
    const double rx = lerp(motion.from.x, motion.to.x, e);
    const double ry = lerp(motion.from.y, motion.to.y, e);
    const double rw = lerp(motion.from.width, motion.to.width, e);
    const double rh = lerp(motion.from.height, motion.to.height, e);
    const Rect framing{
        {extent.minX() + rx * extent.size.width, extent.minY() + ry * extent.size.height},
        {rw * extent.size.width, rh * extent.size.height}};
    if (!(std::isfinite(framing.minX()) && std::isfinite(framing.minY()) &&
          std::isfinite(framing.size.width) && std::isfinite(framing.size.height))) {
        return image;
    }
    const image::Picture cut = image.cropped(framing);
    const Rect kept = cut.extent();
    if (!(kept.size.width > 0 && kept.size.height > 0)) {
        return image;
    }
    const double cover = std::max(frame.width / kept.size.width, frame.height / kept.size.height);
    const Affine covering =
        Affine::translation(-kept.minX(), -kept.minY())
            .then(Affine::scale(cover, cover))
            .then(Affine::translation((frame.width - kept.size.width * cover) / 2,
                                      (frame.height - kept.size.height * cover) / 2));
    return transformedIfFinite(cut, covering);
}

Affine pan(const ImageAnimationType::Pan& motion, double e, media::Size frame) {
    const double travel = e * motion.distance;
    switch (motion.direction) {
    case Direction::left:
        return Affine::translation(-travel * frame.width, 0);
    case Direction::right:
        return Affine::translation(travel * frame.width, 0);
    case Direction::up:
        return Affine::translation(0, travel * frame.height);
    case Direction::down:
        return Affine::translation(0, -travel * frame.height);
    }
    return Affine::identity();
}

Affine shake(const ImageAnimationType::Shake& motion, double e) {
    const double amplitude = ImageOverlayRenderer::shakeAmplitude * motion.intensity;
    const double angle = 2 * std::numbers::pi * ImageOverlayRenderer::shakeCycles * e;
    return Affine::translation(amplitude * std::sin(angle),
                               amplitude *
                                   std::sin(ImageOverlayRenderer::shakeVerticalFrequency * angle));
}

} // namespace

image::Picture
ImageOverlayRenderer::applyAnimation(const image::Picture& image, const ImageAnimation& animation,
                                     const ColorAdjustInstruction::ImageOverlayEntry& entry,
                                     media::Size renderSize, const media::MediaTime& time) {
    const double e = progress(animation, entry.fadeTiming, time);
    const media::Point frameCentre{renderSize.width / 2, renderSize.height / 2};
    return std::visit(
        [&](const auto& motion) -> image::Picture {
            using Motion = std::decay_t<decltype(motion)>;
            if constexpr (std::is_same_v<Motion, ImageAnimationType::KenBurns>) {
                return kenBurns(image, motion, e, renderSize);
            } else if constexpr (std::is_same_v<Motion, ImageAnimationType::ZoomIn>) {
                const double s = 1 + e * (motion.factor - 1);
                return transformedIfFinite(image, about(Affine::scale(s, s), frameCentre));
            } else if constexpr (std::is_same_v<Motion, ImageAnimationType::ZoomOut>) {
                const double s = motion.factor - e * (motion.factor - 1);
                return transformedIfFinite(image, about(Affine::scale(s, s), frameCentre));
            } else if constexpr (std::is_same_v<Motion, ImageAnimationType::Pan>) {
                return transformedIfFinite(image, pan(motion, e, renderSize));
            } else if constexpr (std::is_same_v<Motion, ImageAnimationType::Shake>) {
                return transformedIfFinite(image, shake(motion, e));
            } else {
                return transformedIfFinite(
                    image, about(OverlayGeometry::rotationDegrees(e * motion.degrees),
                                 OverlayGeometry::centre(image.extent())));
            }
        },
        animation.type.payload());
}

} // namespace vexel
