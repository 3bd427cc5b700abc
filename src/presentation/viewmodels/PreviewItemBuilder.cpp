#include "presentation/viewmodels/PreviewItemBuilder.h"

#include <utility>

namespace vexel {

PreviewItemBuilder::PreviewItemBuilder(std::shared_ptr<const CompositionBuilder> compositionBuilder)
    : compositionBuilder_(std::move(compositionBuilder)) {}

playback::PlayerItem PreviewItemBuilder::build(const Project& project, std::stop_token stop) const {
    PreviewComposition preview = compositionBuilder_->build(project, stop);
    playback::PlayerItem item{std::move(preview.composition)};
    item.videoComposition = std::move(preview.videoComposition);
    item.audioMix = std::move(preview.audioMix);
    return item;
}

} // namespace vexel
