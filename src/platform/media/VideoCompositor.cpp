#include "platform/media/VideoCompositor.h"

namespace vexel::media {

VideoCompositionRequest::VideoCompositionRequest(
    std::shared_ptr<const VideoCompositionInstruction> instruction, MediaTime compositionTime,
    std::map<int, PixelBuffer> sourceFrames, Allocator allocator)
    : instruction_(std::move(instruction))
    , compositionTime_(compositionTime)
    , sourceFrames_(std::move(sourceFrames))
    , allocator_(std::move(allocator)) {}

std::optional<PixelBuffer> VideoCompositionRequest::sourceFrame(int trackID) const {
    auto found = sourceFrames_.find(trackID);
    if (found == sourceFrames_.end() || found->second.isNull()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<PixelBuffer> VideoCompositionRequest::newPixelBuffer() const {
    return allocator_ ? allocator_(true) : std::nullopt;
}

std::optional<PixelBuffer> VideoCompositionRequest::newPixelBufferForOverwrite() const {
    return allocator_ ? allocator_(false) : std::nullopt;
}

void VideoCompositionRequest::finish(PixelBuffer frame) {
    if (!isFinished()) {
        result_ = std::move(frame);
    }
}

void VideoCompositionRequest::finish(VideoCompositionError error) {
    if (!isFinished()) {
        result_ = std::move(error);
    }
}

} // namespace vexel::media
