#pragma once

#include "data/composition/CompositionBuilder.h"
#include "domain/entities/Project.h"
#include "platform/playback/PlayerItem.h"

#include <memory>
#include <stop_token>

namespace vexel {

// Makes what the preview plays from a project: the composition builder's
// preview form, its video composition and its audio mix, as one player item.
// Blocking; runs on any thread.
class PreviewItemBuilder {
public:
    explicit PreviewItemBuilder(std::shared_ptr<const CompositionBuilder> compositionBuilder);

    // Throws what the composition builder throws (CancellationError once
    // `stop` is requested).
    playback::PlayerItem build(const Project& project, std::stop_token stop = {}) const;

private:
    std::shared_ptr<const CompositionBuilder> compositionBuilder_;
};

} // namespace vexel
