#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/FrameCanvas.h"
#include "foundation/Logger.h"
#include "foundation/WorkerPool.h"
#include "platform/media/Geometry.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/VideoComposition.h"
#include "platform/media/VideoCompositor.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vexel {

// The frame compositor: draws each frame of a ColorAdjustInstruction, the
// active clip layers bottom to top (VideoEntryRenderer; the two layers of a
// cross-dissolve in progress mixed linearly, CrossDissolvePair), then the active
// image overlays, then the active text overlays, into a new frame of the
// instruction's render size, transparent where nothing is drawn.
//
// A pure function of each request plus two caches that live as long as the
// compositor: overlay images as loaded and processed, and texts as
// rasterised. One lock guards both and is held only to look a key up or to
// insert; images are decoded and texts rasterised outside it, so two frames
// may make the same entry at once and the later insertion wins (both are
// equal). Requests may come from any number of threads at once; each renders
// on the calling thread and is finished before startRequest returns.
// Scheduling and read-ahead belong to whoever drives it.
class ColorAdjustCompositor : public media::VideoCompositor {
public:
    // The errors' domain and codes.
    static constexpr std::string_view errorDomain = "ColorAdjustCompositor";
    static constexpr int invalidInstructionCode = -1;
    static constexpr int allocationFailedCode = -2;

    explicit ColorAdjustCompositor(std::shared_ptr<Logger> logger);

    // Finishes with the frame; with the error of code -1 (logged) when the
    // instruction is not a ColorAdjustInstruction, of code -2 (logged) when no
    // output buffer can be had. A layer without a source frame, an image that
    // cannot be loaded and a text that cannot be rasterised are left out.
    void startRequest(media::VideoCompositionRequest& request) override;

    // A video composition drawn by this compositor: frames of the
    // instruction's render size every 1/30 s, the one instruction throughout.
    static media::VideoComposition
    videoComposition(std::shared_ptr<const ColorAdjustInstruction> instruction,
                     std::shared_ptr<Logger> logger);

    // The cache keys: what the cached image depends on, and nothing that
    // changes from frame to frame (placement, motion, fades).
    static std::string imageKey(const ColorAdjustInstruction::ImageOverlayEntry& entry);
    static std::string textKey(const ColorAdjustInstruction::TextOverlayEntry& entry,
                               media::Size renderSize);

private:
    // The two layers of a cross-dissolve in progress, mixed linearly.
    void drawDissolve(const ColorAdjustInstruction::Entry& outgoing,
                      const media::PixelBuffer& outgoingSource,
                      const ColorAdjustInstruction::Entry& incoming,
                      const media::PixelBuffer& incomingSource, FrameCanvas& canvas,
                      media::VideoCompositionRequest& request, const media::MediaTime& time,
                      media::Size renderSize);
    void drawImageOverlay(const ColorAdjustInstruction::ImageOverlayEntry& entry,
                          FrameCanvas& canvas, const media::MediaTime& time,
                          media::Size renderSize);
    void drawTextOverlay(const ColorAdjustInstruction::TextOverlayEntry& entry, FrameCanvas& canvas,
                         const media::MediaTime& time, media::Size renderSize);
    using Cache = std::unordered_map<std::string, media::PixelBuffer>;

    // The image cached under `key`, else the one `make` gives, cached unless
    // null. The lock is held only to look up and to insert.
    media::PixelBuffer cachedOrMade(Cache& cache, const std::string& key,
                                    const std::function<media::PixelBuffer()>& make);
    void fail(media::VideoCompositionRequest& request, int code, const std::string& description);

    std::shared_ptr<Logger> logger_;
    // No threads of its own: every frame is drawn on the thread that asks for
    // it, and frames are drawn side by side by the reader that drives them.
    WorkerPool workers_{0};
    std::mutex cacheLock_;
    Cache textImageCache_;
    Cache imageCacheByKey_;
};

} // namespace vexel
