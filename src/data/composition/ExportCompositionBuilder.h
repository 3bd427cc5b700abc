#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/VideoTrackEntry.h"
#include "domain/entities/Clip.h"
#include "foundation/Logger.h"
#include "platform/media/Composition.h"
#include "platform/media/MediaTime.h"
#include "platform/media/VideoComposition.h"

#include <memory>
#include <optional>
#include <vector>

namespace vexel {

// Builds the video composition a project is exported with: frames of the
// entries' render size every 1/30 s, one instruction over
// [0, compositionDuration).
class ExportCompositionBuilder {
public:
    ExportCompositionBuilder() = delete;

    // The frame compositor's form, drawing the clip layers with their colour
    // and filter and the project's text and image clips over them, when some
    // entry has a colour adjustment or a filter preset (neutral or "none"
    // included), there is a text or image clip, or some entry has a
    // geometric transition; else the layer form, as the preview has it.
    // `textClips` and `imageClips` are in project order; `logger` is the
    // compositor's.
    static media::VideoComposition buildVideoComposition(
        const std::vector<VideoTrackEntry>& entries, const media::Composition& composition,
        const media::MediaTime& compositionDuration, const std::vector<Clip>& textClips,
        const std::vector<Clip>& imageClips, std::shared_ptr<Logger> logger);

    // What the compositor draws of one text clip: its text, style (the
    // default without one), position (bottom without one), motion, scale and
    // time on screen with its fades.
    static ColorAdjustInstruction::TextOverlayEntry textOverlayEntry(const Clip& clip);
    // The same for an image clip; nothing for one that names no file.
    static std::optional<ColorAdjustInstruction::ImageOverlayEntry>
    imageOverlayEntry(const Clip& clip);

private:
    // One per text clip, in order, empty texts included.
    static std::vector<ColorAdjustInstruction::TextOverlayEntry>
    buildTextOverlayEntries(const std::vector<Clip>& textClips);
    // One per image clip that names a file, in order.
    static std::vector<ColorAdjustInstruction::ImageOverlayEntry>
    buildImageOverlayEntries(const std::vector<Clip>& imageClips);
};

} // namespace vexel
