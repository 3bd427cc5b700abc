#include "platform/media/VideoComposition.h"

#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/detail/LayerDrawing.h"

#include <algorithm>
#include <cmath>

namespace vexel::media {

namespace {

int pixels(double size) {
    if (!(size >= 1)) {
        return 1;
    }
    return static_cast<int>(std::min<double>(size, PixelBuffer::maxDimension));
}

} // namespace

std::shared_ptr<const VideoCompositionInstruction>
VideoComposition::instruction(const MediaTime& time) const {
    for (const auto& candidate : instructions) {
        if (candidate && candidate->timeRange().containsTime(time)) {
            return candidate;
        }
    }
    return nullptr;
}

int VideoComposition::renderWidth() const {
    return pixels(renderSize.width);
}

int VideoComposition::renderHeight() const {
    return pixels(renderSize.height);
}

void LayerVideoCompositor::startRequest(VideoCompositionRequest& request) {
    const auto* layers =
        dynamic_cast<const LayerVideoCompositionInstruction*>(&request.instruction());
    if (!layers) {
        request.finish(VideoCompositionError{"LayerVideoCompositor", -1,
                                             "The instruction is not a layer instruction"});
        return;
    }
    std::optional<PixelBuffer> frame = request.newPixelBufferForOverwrite();
    if (!frame) {
        request.finish(VideoCompositionError{"LayerVideoCompositor", -2,
                                             "Failed to allocate output pixel buffer"});
        return;
    }
    const MediaTime& time = request.compositionTime();
    const auto& list = layers->layerInstructions();
    bool blank = true;
    // The first layer is on top: draw from the last.
    for (auto layer = list.rbegin(); layer != list.rend(); ++layer) {
        std::optional<PixelBuffer> source = request.sourceFrame(layer->trackID);
        float opacity = layer->opacity.valueAt(time);
        if (!source || !(opacity > 0)) {
            continue;
        }
        Affine transform = layer->transformAt(time);
        if (blank && detail::coversTarget(*frame, *source, transform, layer->cropRectangle)) {
            detail::drawOverBlack(*frame, *source, transform, opacity);
        } else {
            if (blank) {
                detail::fillOpaqueBlack(*frame);
            }
            detail::drawLayer(*frame, *source, transform, layer->cropRectangle, opacity);
        }
        blank = false;
    }
    if (blank) {
        detail::fillOpaqueBlack(*frame);
    }
    request.finish(std::move(*frame));
}

} // namespace vexel::media
