#pragma once

#include "platform/media/Geometry.h"
#include "platform/media/VideoCompositor.h"

#include <functional>
#include <memory>
#include <vector>

namespace vexel::media {

// How a composition's video tracks become frames: frames of the render size
// every frame duration, each drawn by the instruction whose range holds its
// time, through the built-in layer form or a custom compositor.
struct VideoComposition {
    using CompositorFactory = std::function<std::unique_ptr<VideoCompositor>()>;

    // Pixels; a fractional size is cut to whole pixels (at least 1).
    Size renderSize{};
    MediaTime frameDuration{1, 30};
    std::vector<std::shared_ptr<const VideoCompositionInstruction>> instructions;
    // Makes the compositor for one use; empty for the built-in layer form.
    CompositorFactory customCompositor;

    // The instruction in force at a time; null where none is.
    std::shared_ptr<const VideoCompositionInstruction> instruction(const MediaTime& time) const;
    int renderWidth() const;
    int renderHeight() const;
};

// The built-in layer form's compositor: a pure function of its requests.
// Fails a request whose instruction is not a LayerVideoCompositionInstruction.
class LayerVideoCompositor : public VideoCompositor {
public:
    void startRequest(VideoCompositionRequest& request) override;
};

} // namespace vexel::media
