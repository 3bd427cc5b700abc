#include "platform/media/MediaError.h"

namespace vexel::media {

MediaError::MediaError(Kind kind, std::string message, int ffmpegCode)
    : kind_(kind)
    , message_(std::move(message))
    , ffmpegCode_(ffmpegCode) {}

} // namespace vexel::media
