#include "platform/media/detail/FrameComposing.h"

#include "platform/media/MediaError.h"
#include "platform/media/detail/LayerDrawing.h"

#include <optional>
#include <utility>
#include <variant>

namespace vexel::media::detail {

PixelBuffer composeFrame(VideoCompositor& compositor,
                         std::shared_ptr<const VideoCompositionInstruction> instruction,
                         const MediaTime& time, std::map<int, PixelBuffer> sources,
                         PixelBufferPool& pool) {
    if (!instruction) {
        // No instruction covers this time: nothing is drawn on black.
        PixelBuffer frame = pool.makeBufferForOverwrite();
        fillOpaqueBlack(frame);
        return frame;
    }
    auto allocate = [&pool](bool zeroFilled) -> std::optional<PixelBuffer> {
        try {
            return zeroFilled ? pool.makeBuffer() : pool.makeBufferForOverwrite();
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    };
    VideoCompositionRequest request(std::move(instruction), time, std::move(sources), allocate);
    compositor.startRequest(request);
    if (const auto* error = std::get_if<VideoCompositionError>(&request.result())) {
        throw MediaError::compositionFailed(error->domain, error->code, error->description);
    }
    if (!request.isFinished()) {
        throw MediaError(MediaError::Kind::invalidState,
                         "The compositor did not finish the frame at " + time.description());
    }
    return std::get<PixelBuffer>(request.result());
}

} // namespace vexel::media::detail
