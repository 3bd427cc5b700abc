#pragma once

// One composed frame of a video composition from its decoded sources: the
// step every reader of a composition ends each frame with. Internal to the
// media layer.

#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/VideoCompositionInstruction.h"
#include "platform/media/VideoCompositor.h"

#include <map>
#include <memory>

namespace vexel::media::detail {

// The frame at `time` from `sources` (by track ID), drawn by `compositor` into
// a buffer of `pool`; opaque black where no instruction covers the time.
// Throws MediaError (compositionFailed with the compositor's error,
// invalidState when it did not finish).
PixelBuffer composeFrame(VideoCompositor& compositor,
                         std::shared_ptr<const VideoCompositionInstruction> instruction,
                         const MediaTime& time, std::map<int, PixelBuffer> sources,
                         PixelBufferPool& pool);

} // namespace vexel::media::detail
