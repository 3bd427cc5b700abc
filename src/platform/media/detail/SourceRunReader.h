#pragma once

// Decodes the frames of one source run as composition time moves on: the frame
// showing at each of a series of source times. Internal to the media layer.

#include "platform/media/AssetReader.h"
#include "platform/media/detail/SourceRun.h"

#include <optional>

namespace vexel::media::detail {

class SourceRunReader {
public:
    // `decoderThreads`: as AssetReader::Options has them.
    SourceRunReader(const SourceRun& run, std::optional<int> decoderThreads);

    // Opens the media and decodes its first frames, so that the run can start
    // without waiting. Throws MediaError when the media cannot be read; returns
    // quietly when cancelled.
    void prime();

    // The frame showing at `sourceTime`, which must not be earlier than the
    // last one asked for: the last frame that starts at or before it (the
    // first when none does), null when the media gave none. Primes first when
    // that has not been done. Throws MediaError when the media cannot be read.
    PixelBuffer frameAt(const MediaTime& sourceTime);

    // Stops a decode in progress; from any thread.
    void cancel();

private:
    AssetReader reader_;
    bool primed_ = false;
    std::optional<VideoFrame> current_;
    std::optional<VideoFrame> next_;
};

} // namespace vexel::media::detail
