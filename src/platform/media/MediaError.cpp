#include "platform/media/MediaError.h"

namespace vexel::media {

MediaError::MediaError(Kind kind, std::string message, int ffmpegCode)
    : kind_(kind)
    , message_(std::move(message))
    , ffmpegCode_(ffmpegCode) {}

MediaError MediaError::compositionFailed(std::string domain, int code, std::string description) {
    MediaError error(Kind::compositionFailed, std::move(description));
    error.domain_ = std::move(domain);
    error.code_ = code;
    return error;
}

} // namespace vexel::media
