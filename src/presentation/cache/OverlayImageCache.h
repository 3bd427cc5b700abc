#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "platform/media/PixelBuffer.h"
#include "presentation/cache/LruCache.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace vexel {

// The preview's overlay images, each made once, as the export makes them: the
// file decoded, turned upright, coloured, filtered and cropped, off the GUI
// thread; then reduced to the size the overlay shows it at, so that painting
// never resamples a photo of many megapixels. One entry per file, effects and
// size; while an image is made at a new size, the one of that file and those
// effects made last serves. GUI thread only (the work runs on threads of its
// own).
class OverlayImageCache {
public:
    static constexpr std::size_t defaultCountLimit = 50;
    static constexpr std::size_t defaultTotalCostLimit = 200 * 1024 * 1024;

    // An image as made, and the box it was made to fit.
    struct Image {
        // Premultiplied BGRA, never written to again; `image` shows the same
        // pixels.
        media::PixelBuffer pixels;
        QImage image;
        QSize box;
    };

    explicit OverlayImageCache(std::size_t countLimit = defaultCountLimit,
                               std::size_t totalCostLimit = defaultTotalCostLimit);
    ~OverlayImageCache();

    OverlayImageCache(const OverlayImageCache&) = delete;
    OverlayImageCache& operator=(const OverlayImageCache&) = delete;

    // The image of `entry` (its file, colour, filter and crop; its rotation
    // decides only which way it fits), at most as large as fits whole into
    // `box`, in device pixels, never larger than the file. When none is made
    // for that box yet, the work starts (one image of a file and its effects
    // at a time; of the boxes asked for meanwhile, the last is made next) and
    // the image of that file and those effects made last comes back
    // meanwhile, or nothing. The ready action tells when to ask again. A file
    // that cannot be decoded is not tried again until the cache is emptied.
    std::optional<Image> image(const ColorAdjustInstruction::ImageOverlayEntry& entry, QSize box);

    // For a project load: every image is made again, and work under way
    // comes to nothing.
    void removeAllObjects();

    std::size_t count() const { return cache_.count(); }
    // Images being made now.
    std::size_t loadsInFlight() const { return inFlight_.size(); }

    // Called on the GUI thread whenever an image has been made, so that what
    // image() returns may have changed; none by default.
    void setOnImageReady(std::function<void()> onImageReady) {
        onImageReady_ = std::move(onImageReady);
    }

private:
    struct Load {
        QSize box;
        // A box asked for while this one was made: made next.
        std::optional<QSize> next;
    };

    static std::string sizedKey(const std::string& key, QSize box);
    void start(const std::string& key, const ColorAdjustInstruction::ImageOverlayEntry& entry,
               QSize box);
    void finish(std::uint64_t generation, const std::string& key,
                const ColorAdjustInstruction::ImageOverlayEntry& entry, QSize box,
                media::PixelBuffer pixels);

    // By file and effects, then the box.
    LruCache<std::string, Image> cache_;
    // By file and effects: the key of the image made last.
    std::unordered_map<std::string, std::string> latest_;
    // By file and effects.
    std::unordered_map<std::string, Load> inFlight_;
    std::unordered_set<std::string> failed_;
    std::uint64_t generation_ = 0;
    std::function<void()> onImageReady_;
    // Receives the finished work on the GUI thread.
    QObject receiver_;
    // Last, so that its work ends before anything else goes.
    QThreadPool workers_;
};

} // namespace vexel
