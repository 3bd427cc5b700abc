#pragma once

#include "platform/media/Asset.h"
#include "platform/media/Geometry.h"

#include <memory>
#include <mutex>
#include <stop_token>
#include <vector>

namespace vexel {

// Black carrier movies, written once and reused. A build that needs a carrier
// takes the shortest kept movie of its size and frame rate that is long
// enough (and inserts only the part it needs); only when none is does it
// write a new one, rounded up to 10 s times a power of two (at most the
// generator's limit), so that a text clip growing by a second does not mean
// encoding again. The movies live in the staging folder as
// "carrier_<w>x<h>_<fps>fps_<seconds>s.mp4", written under another name and
// renamed when complete, so that later caches, also of later runs until the
// folder is cleaned, find them. Safe to share between threads.
class CarrierCache {
public:
    // A probed all-black movie of `size` at `fps` whose video lasts at least
    // `duration` seconds. Throws what BlackVideoGenerator::generate throws
    // (invalidDuration for a duration outside its limits) and MediaError when
    // the new movie cannot be probed.
    std::shared_ptr<const media::Asset> carrier(media::Size size, double duration, int fps,
                                                std::stop_token stop = {});

    // The length a new carrier is written with for a need of `duration`.
    static double generatedLength(double duration);

private:
    struct Kept {
        int width = 0;
        int height = 0;
        int fps = 0;
        std::shared_ptr<const media::Asset> asset;
    };

    std::shared_ptr<const media::Asset> findKept(int width, int height, int fps,
                                                 double duration) const;
    void scanStagingFolder();

    mutable std::mutex mutex_;
    std::vector<Kept> kept_;
    bool scanned_ = false;
};

} // namespace vexel
