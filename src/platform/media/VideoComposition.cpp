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
    const MediaTime& time = request.compositionTime();
    struct Visible {
        PixelBuffer source;
        Affine transform;
        const std::optional<Rect>& crop;
        float opacity;
    };
    // Bottom first: the first layer is on top.
    std::vector<Visible> visible;
    const auto& list = layers->layerInstructions();
    for (auto layer = list.rbegin(); layer != list.rend(); ++layer) {
        std::optional<PixelBuffer> source = request.sourceFrame(layer->trackID);
        float opacity = layer->opacity.valueAt(time);
        if (source && opacity > 0) {
            visible.push_back(
                {std::move(*source), layer->transformAt(time), layer->cropRectangle, opacity});
        }
    }
    std::optional<PixelBuffer> frame = request.newPixelBufferForOverwrite();
    if (!frame) {
        request.finish(VideoCompositionError{"LayerVideoCompositor", -2,
                                             "Failed to allocate output pixel buffer"});
        return;
    }
    // Most frames of an edit show one clip as it is: its pixels go on
    // without a copy.
    if (visible.size() == 1 &&
        detail::showsSourceAsItIs(frame->width(), frame->height(), visible.front().source,
                                  visible.front().transform, visible.front().crop,
                                  visible.front().opacity)) {
        request.finish(visible.front().source);
        return;
    }
    bool blank = true;
    for (const Visible& layer : visible) {
        if (blank && detail::coversTarget(*frame, layer.source, layer.transform, layer.crop)) {
            detail::drawOverBlack(*frame, layer.source, layer.transform, layer.opacity);
        } else {
            if (blank) {
                detail::fillOpaqueBlack(*frame);
            }
            detail::drawLayer(*frame, layer.source, layer.transform, layer.crop, layer.opacity);
        }
        blank = false;
    }
    if (blank) {
        detail::fillOpaqueBlack(*frame);
    }
    request.finish(std::move(*frame));
}

} // namespace vexel::media
