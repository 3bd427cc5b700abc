#pragma once

#include "data/composition/CompositionBuilder.h"
#include "data/composition/VideoCompositionInputs.h"
#include "domain/entities/Project.h"
#include "platform/media/Composition.h"
#include "platform/media/VideoComposition.h"
#include "platform/playback/PlayerItem.h"

#include <functional>
#include <memory>
#include <stop_token>

namespace vexel {

// Makes what the preview plays from a project: the composition builder's
// preview form, its video composition and its audio mix, as one player item.
// Blocking; runs on any thread.
class PreviewItemBuilder {
public:
    // Chooses and builds the preview's video composition from the inputs of
    // a built composition.
    using VideoCompositionForm = std::function<media::VideoComposition(
        const VideoCompositionInputs& inputs, const media::Composition& composition)>;

    PreviewItemBuilder(std::shared_ptr<const CompositionBuilder> compositionBuilder,
                       VideoCompositionForm videoCompositionForm);

    // Throws what the composition builder throws (CancellationError once
    // `stop` is requested).
    playback::PlayerItem build(const Project& project, std::stop_token stop = {}) const;

private:
    std::shared_ptr<const CompositionBuilder> compositionBuilder_;
    VideoCompositionForm videoCompositionForm_;
};

} // namespace vexel
