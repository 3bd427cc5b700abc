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
    std::optional<PixelBuffer> frame = request.newPixelBuffer();
    if (!frame) {
        request.finish(VideoCompositionError{"LayerVideoCompositor", -2,
                                             "Failed to allocate output pixel buffer"});
        return;
    }
    detail::fillOpaqueBlack(*frame);
    const MediaTime& time = request.compositionTime();
    const auto& list = layers->layerInstructions();
    // The first layer is on top: draw from the last.
    for (auto layer = list.rbegin(); layer != list.rend(); ++layer) {
        std::optional<PixelBuffer> source = request.sourceFrame(layer->trackID);
        if (!source) {
            continue;
        }
        detail::drawLayer(*frame, *source, layer->transformAt(time), layer->cropRectangle,
                          layer->opacity.valueAt(time));
    }
    request.finish(std::move(*frame));
}

} // namespace vexel::media
