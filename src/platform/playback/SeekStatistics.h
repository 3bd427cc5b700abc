#pragma once

#include <cstdint>

namespace vexel::playback {

// What the player's seeks have cost since its item was set.
struct SeekStatistics {
    // Seeks whose frame was shown from decoding, and from the frames kept;
    // seeks given up for a newer one while decoding; seeks replaced by a newer
    // one before they started.
    std::int64_t decoded = 0;
    std::int64_t fromCache = 0;
    std::int64_t abandoned = 0;
    std::int64_t skipped = 0;
    // Decoded frames whose keeping is over: a frame shows before it is kept,
    // so one equal to `decoded` says the last one shown is now kept (or was
    // let go because the shown size changed meanwhile).
    std::int64_t settled = 0;
    // Frames out of the sources' decoders, and the times a decoder went back
    // to a key frame.
    std::int64_t sourceFrames = 0;
    std::int64_t keyFrameSeeks = 0;
    // What the kept frames take.
    std::int64_t cachedFrames = 0;
    std::int64_t cachedBytes = 0;
};

} // namespace vexel::playback
