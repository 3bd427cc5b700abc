#include "data/composition/ColorAdjustCompositor.h"

#include "data/composition/CrossDissolvePair.h"
#include "data/composition/ImageOverlayRenderer.h"
#include "data/composition/OverlayRenderer.h"
#include "data/composition/TextOverlayRenderer.h"
#include "data/composition/TextRenderer.h"
#include "data/composition/VideoEntryRenderer.h"
#include "domain/utilities/TextAnimationCalculator.h"
#include "foundation/NumberText.h"

#include <optional>
#include <stdexcept>

namespace vexel {

namespace {

using media::MediaTime;
using media::PixelBuffer;
using media::Size;
using ImageOverlayEntry = ColorAdjustInstruction::ImageOverlayEntry;
using TextOverlayEntry = ColorAdjustInstruction::TextOverlayEntry;

// Free text in a key, with the separator and the escape escaped, so that no
// two different entries can make the same key.
std::string keyText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '|' || c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string keyFlag(bool flag) {
    return flag ? "true" : "false";
}

// Draws the overlay that `place` puts in the frame, if any, at the opacity
// of its fades. Numbers that place it nowhere (not finite, too many cuts)
// leave it out of this frame only.
template <typename Place>
void drawOverlay(FrameCanvas& canvas, const FadeTimingInfo& timing, const MediaTime& time,
                 const Place& place) {
    std::optional<image::Picture> picture;
    try {
        picture = place();
        const float opacity = timing.effectiveOpacity(time);
        if (picture && opacity < 1) {
            picture = picture->withAlpha(opacity);
        }
    } catch (const std::logic_error&) {
        return;
    }
    if (picture) {
        canvas.draw(*picture);
    }
}

} // namespace

ColorAdjustCompositor::ColorAdjustCompositor(std::shared_ptr<Logger> logger)
    : logger_(logger ? std::move(logger) : std::make_shared<NullLogger>()) {}

media::VideoComposition
ColorAdjustCompositor::videoComposition(std::shared_ptr<const ColorAdjustInstruction> instruction,
                                        std::shared_ptr<Logger> logger) {
    media::VideoComposition composition;
    composition.renderSize = instruction->renderSize();
    composition.frameDuration = MediaTime(1, 30);
    composition.instructions = {std::move(instruction)};
    composition.customCompositor = [logger = std::move(logger)] {
        return std::make_unique<ColorAdjustCompositor>(logger);
    };
    return composition;
}

void ColorAdjustCompositor::startRequest(media::VideoCompositionRequest& request) {
    const auto* instruction = dynamic_cast<const ColorAdjustInstruction*>(&request.instruction());
    if (!instruction) {
        fail(request, invalidInstructionCode, "Invalid instruction type");
        return;
    }
    const MediaTime& time = request.compositionTime();
    const auto entries = instruction->activeEntries(time);
    std::optional<PixelBuffer> buffer = request.newPixelBufferForOverwrite();
    if (!buffer) {
        fail(request, allocationFailedCode, "Failed to allocate output pixel buffer");
        return;
    }
    const Size renderSize = instruction->renderSize();
    FrameCanvas canvas(std::move(*buffer), workers_);
    // Each layer waits for the next one, with which it may form a
    // cross-dissolve: the pair is then mixed rather than stacked.
    struct Held {
        const ColorAdjustInstruction::Entry* entry;
        PixelBuffer source;
    };
    std::optional<Held> held;
    for (const ColorAdjustInstruction::Entry* entry : entries) {
        std::optional<PixelBuffer> source = request.sourceFrame(entry->trackID);
        if (!source) {
            continue;
        }
        if (held && CrossDissolvePair::joins(*held->entry, *entry) &&
            CrossDissolvePair::isMixing(*entry, time)) {
            drawDissolve(*held->entry, held->source, *entry, *source, canvas, request, time,
                         renderSize);
            held.reset();
            continue;
        }
        if (held) {
            VideoEntryRenderer::composite(*held->entry, held->source, canvas, time, renderSize);
        }
        held = Held{entry, std::move(*source)};
    }
    if (held) {
        VideoEntryRenderer::composite(*held->entry, held->source, canvas, time, renderSize);
    }
    for (const ImageOverlayEntry* overlay : instruction->activeImageOverlays(time)) {
        drawImageOverlay(*overlay, canvas, time, renderSize);
    }
    for (const TextOverlayEntry* overlay : instruction->activeTextOverlays(time)) {
        drawTextOverlay(*overlay, canvas, time, renderSize);
    }
    request.finish(canvas.finish());
}

void ColorAdjustCompositor::drawDissolve(const ColorAdjustInstruction::Entry& outgoing,
                                         const PixelBuffer& outgoingSource,
                                         const ColorAdjustInstruction::Entry& incoming,
                                         const PixelBuffer& incomingSource, FrameCanvas& canvas,
                                         media::VideoCompositionRequest& request,
                                         const MediaTime& time, Size renderSize) {
    // Each layer comes weighted by its fade: the outgoing one by 1 − p, the
    // incoming one by p, which is what their sum needs.
    std::optional<image::Picture> lower;
    std::optional<image::Picture> upper;
    try {
        lower = VideoEntryRenderer::layer(outgoing, outgoingSource, time, renderSize);
    } catch (const std::logic_error&) {
    }
    try {
        upper = VideoEntryRenderer::layer(incoming, incomingSource, time, renderSize);
    } catch (const std::logic_error&) {
    }
    if (!lower || !upper) {
        // A layer that cannot be placed is left out, as anywhere else.
        for (const auto& picture : {lower, upper}) {
            if (picture) {
                canvas.draw(*picture);
            }
        }
        return;
    }
    std::optional<PixelBuffer> scratch;
    if (!canvas.isBlank()) {
        scratch = request.newPixelBufferForOverwrite();
        if (!scratch) {
            // Without room to mix, the pair is stacked.
            canvas.draw(*lower);
            canvas.draw(*upper);
            return;
        }
    }
    canvas.drawMix(*lower, *upper, scratch.value_or(PixelBuffer()));
}

void ColorAdjustCompositor::fail(media::VideoCompositionRequest& request, int code,
                                 const std::string& description) {
    logger_->error("[Compositor] " + description);
    request.finish(media::VideoCompositionError{std::string(errorDomain), code, description});
}

void ColorAdjustCompositor::drawImageOverlay(const ImageOverlayEntry& entry, FrameCanvas& canvas,
                                             const MediaTime& time, Size renderSize) {
    const PixelBuffer image = cachedOrMade(imageCacheByKey_, imageKey(entry), [&] {
        return OverlayRenderer::loadProcessedImage(entry.imageURL, entry.colorAdjust, entry.filter,
                                                   entry.clipTransform, workers_);
    });
    if (image.isNull()) {
        return;
    }
    drawOverlay(canvas, entry.fadeTiming, time, [&] {
        std::optional<image::Picture> placed =
            OverlayRenderer::positionImageOverlay(image, entry, renderSize);
        if (placed && entry.imageAnimation) {
            placed = ImageOverlayRenderer::applyAnimation(*placed, *entry.imageAnimation, entry,
                                                          renderSize, time);
        }
        return placed;
    });
}

void ColorAdjustCompositor::drawTextOverlay(const TextOverlayEntry& entry, FrameCanvas& canvas,
                                            const MediaTime& time, Size renderSize) {
    const PixelBuffer raster = cachedOrMade(textImageCache_, textKey(entry, renderSize), [&] {
        return OverlayRenderer::renderTextImage(entry, renderSize);
    });
    if (raster.isNull()) {
        return;
    }
    drawOverlay(canvas, entry.fadeTiming, time, [&] {
        std::optional<image::Picture> placed =
            OverlayRenderer::positionTextOverlay(raster, entry, renderSize);
        if (!placed || !entry.textAnimation) {
            return placed;
        }
        const double start = entry.fadeTiming.compositionStartTime.seconds();
        const double elapsed = time.seconds() - start;
        const double duration = entry.fadeTiming.compositionEndTime.seconds() - start;
        const TextAnimationState state =
            TextAnimationCalculator::calculate(*entry.textAnimation, elapsed, duration);
        placed = TextOverlayRenderer::applyAnimationTransforms(*placed, state, renderSize);
        if (state.maskProgress) {
            placed = TextOverlayRenderer::applyWipeMask(
                *placed, *state.maskProgress, state.maskDirection.value_or(Direction::left));
        }
        if (state.opacity < 1) {
            placed = placed->withAlpha(state.opacity);
        }
        return placed;
    });
}

PixelBuffer ColorAdjustCompositor::cachedOrMade(Cache& cache, const std::string& key,
                                                const std::function<PixelBuffer()>& make) {
    {
        std::lock_guard lock(cacheLock_);
        auto found = cache.find(key);
        if (found != cache.end()) {
            return found->second;
        }
    }
    // Made outside the lock, so that other frames are not held up; nothing
    // is kept of a failure, which is tried again at the next frame.
    PixelBuffer made = make();
    if (!made.isNull()) {
        std::lock_guard lock(cacheLock_);
        cache.insert_or_assign(key, made);
    }
    return made;
}

std::string ColorAdjustCompositor::imageKey(const ImageOverlayEntry& entry) {
    std::string key = keyText(entry.imageURL.string());
    if (entry.colorAdjust) {
        key += "|ca:" + formatNumber(entry.colorAdjust->brightness) + "," +
               formatNumber(entry.colorAdjust->contrast) + "," +
               formatNumber(entry.colorAdjust->saturation);
    }
    if (entry.filter) {
        key += "|f:" + keyText(entry.filter->name) + "," + formatNumber(entry.filter->intensity);
    }
    if (entry.clipTransform) {
        const ClipTransform& clip = *entry.clipTransform;
        key += "|ct:" + std::to_string(clip.rotation) + "," + keyFlag(clip.flipHorizontal) + "," +
               keyFlag(clip.flipVertical);
        if (clip.cropRect) {
            key += "|crop:" + formatNumber(clip.cropRect->x) + "," +
                   formatNumber(clip.cropRect->y) + "," + formatNumber(clip.cropRect->width) + "," +
                   formatNumber(clip.cropRect->height);
        }
    }
    return key;
}

std::string ColorAdjustCompositor::textKey(const TextOverlayEntry& entry, Size renderSize) {
    const TextStyle& style = entry.style;
    return keyText(TextRenderer::laidOutBytes(entry.text)) + "|" + formatNumber(style.fontSize) +
           "|" + keyText(style.textColor) + "|" + keyText(style.strokeColor) + "|" +
           formatNumber(style.strokeWidth) + "|" + keyText(style.fontName.value_or("")) + "|" +
           formatNumber(style.boxWidth.value_or(0.0)) + "|" + formatNumber(renderSize.width) + "x" +
           formatNumber(renderSize.height);
}

} // namespace vexel
