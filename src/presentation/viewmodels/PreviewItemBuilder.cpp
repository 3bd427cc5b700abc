#include "presentation/viewmodels/PreviewItemBuilder.h"

#include <utility>

namespace vexel {

PreviewItemBuilder::PreviewItemBuilder(std::shared_ptr<const CompositionBuilder> compositionBuilder,
                                       VideoCompositionForm videoCompositionForm)
    : compositionBuilder_(std::move(compositionBuilder))
    , videoCompositionForm_(std::move(videoCompositionForm)) {}

playback::PlayerItem PreviewItemBuilder::build(const Project& project, std::stop_token stop) const {
    PreviewComposition preview = compositionBuilder_->build(project, stop);
    playback::PlayerItem item{std::move(preview.composition)};
    if (preview.videoCompositionInputs) {
        item.videoComposition =
            videoCompositionForm_(*preview.videoCompositionInputs, item.composition);
    }
    item.audioMix = std::move(preview.audioMix);
    return item;
}

} // namespace vexel
