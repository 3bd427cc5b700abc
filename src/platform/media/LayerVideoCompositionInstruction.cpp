#include "platform/media/LayerVideoCompositionInstruction.h"

#include <algorithm>

namespace vexel::media {

void VideoCompositionLayerInstruction::setTransform(const Affine& transform, const MediaTime& at) {
    auto position = std::upper_bound(
        transforms.begin(), transforms.end(), at,
        [](const MediaTime& time, const auto& point) { return time < point.first; });
    transforms.insert(position, {at, transform});
}

Affine VideoCompositionLayerInstruction::transformAt(const MediaTime& time) const {
    auto after =
        std::upper_bound(transforms.begin(), transforms.end(), time,
                         [](const MediaTime& t, const auto& point) { return t < point.first; });
    return after == transforms.begin() ? Affine::identity() : (after - 1)->second;
}

LayerVideoCompositionInstruction::LayerVideoCompositionInstruction(
    MediaTimeRange timeRange, std::vector<VideoCompositionLayerInstruction> layers)
    : timeRange_(timeRange)
    , layers_(std::move(layers)) {}

std::vector<int> LayerVideoCompositionInstruction::requiredSourceTrackIDs() const {
    std::vector<int> ids;
    for (const auto& layer : layers_) {
        ids.push_back(layer.trackID);
    }
    return ids;
}

} // namespace vexel::media
