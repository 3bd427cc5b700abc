#include "presentation/cache/OverlayImageCache.h"

#include "data/composition/ColorAdjustCompositor.h"
#include "data/composition/OverlayRenderer.h"
#include "foundation/WorkerPool.h"
#include "presentation/cache/PixelBufferImage.h"

#include <QMetaObject>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vexel {

namespace {

// Each image in the making holds a decoded photo at full size: two at a time
// bound that memory.
constexpr int kConcurrentLoads = 2;

bool isQuarterTurned(const std::optional<ClipTransform>& transform) {
    return transform && (transform->rotation == 90 || transform->rotation == 270 ||
                         transform->rotation == -90 || transform->rotation == -270);
}

// The image reduced to fit whole into `box` the way the overlay turns it; the
// image itself when it fits already.
media::PixelBuffer reduced(const media::PixelBuffer& processed, QSize box, bool turned) {
    const double width = processed.width();
    const double height = processed.height();
    const double fitWidth = turned ? height : width;
    const double fitHeight = turned ? width : height;
    const double fit = std::min(box.width() / fitWidth, box.height() / fitHeight);
    if (!(fit < 1)) {
        return processed;
    }
    const int targetWidth = std::max(1, static_cast<int>(std::lround(width * fit)));
    const int targetHeight = std::max(1, static_cast<int>(std::lround(height * fit)));
    // Qt's smooth reduction averages every source pixel, where a bilinear
    // one would skip most of a large photo's.
    const QImage scaled = imageOfPixels(processed).scaled(
        targetWidth, targetHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    media::PixelBuffer pixels = media::PixelBuffer::create(targetWidth, targetHeight);
    const auto rowBytes = static_cast<std::size_t>(targetWidth) * 4;
    for (int y = 0; y < targetHeight; ++y) {
        std::memcpy(pixels.row(y), scaled.constScanLine(y), rowBytes);
    }
    pixels.setOpaque(processed.isOpaque());
    return pixels;
}

// Every pixel's alpha is full. Decoders and the renderer do not say so
// themselves, and a photo usually is.
bool coversEveryPixel(const media::PixelBuffer& pixels) {
    for (int y = 0; y < pixels.height(); ++y) {
        const std::uint8_t* row = pixels.row(y);
        for (int x = 0; x < pixels.width(); ++x) {
            if (row[4 * x + 3] != 0xff) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

OverlayImageCache::OverlayImageCache(std::size_t countLimit, std::size_t totalCostLimit)
    : cache_(countLimit, totalCostLimit) {
    workers_.setMaxThreadCount(kConcurrentLoads);
}

OverlayImageCache::~OverlayImageCache() {
    workers_.clear();
    workers_.waitForDone();
}

std::string OverlayImageCache::sizedKey(const std::string& key, QSize box) {
    return key + "|" + std::to_string(box.width()) + "x" + std::to_string(box.height());
}

std::optional<OverlayImageCache::Image>
OverlayImageCache::image(const ColorAdjustInstruction::ImageOverlayEntry& entry, QSize box) {
    if (box.width() < 1 || box.height() < 1) {
        return std::nullopt;
    }
    const std::string key = ColorAdjustCompositor::imageKey(entry);
    if (std::optional<Image> cached = cache_.object(sizedKey(key, box))) {
        return cached;
    }
    if (failed_.contains(key)) {
        return std::nullopt;
    }
    if (auto load = inFlight_.find(key); load != inFlight_.end()) {
        if (load->second.box != box) {
            load->second.next = box;
        }
    } else {
        start(key, entry, box);
    }
    const auto latest = latest_.find(key);
    return latest != latest_.end() ? cache_.object(latest->second) : std::nullopt;
}

void OverlayImageCache::removeAllObjects() {
    ++generation_;
    cache_.removeAllObjects();
    latest_.clear();
    inFlight_.clear();
    failed_.clear();
    workers_.clear();
}

void OverlayImageCache::start(const std::string& key,
                              const ColorAdjustInstruction::ImageOverlayEntry& entry, QSize box) {
    inFlight_[key] = Load{box, std::nullopt};
    const std::uint64_t generation = generation_;
    workers_.start([this, generation, key, entry, box] {
        WorkerPool alone(0);
        media::PixelBuffer processed = OverlayRenderer::loadProcessedImage(
            entry.imageURL, entry.colorAdjust, entry.filter, entry.clipTransform, alone);
        media::PixelBuffer pixels =
            processed.isNull() ? processed
                               : reduced(processed, box, isQuarterTurned(entry.clipTransform));
        if (!pixels.isNull() && !pixels.isOpaque()) {
            pixels.setOpaque(coversEveryPixel(pixels));
        }
        // The cache outlives every piece of its work (the pool is waited
        // for before it goes), and queued calls die with their receiver.
        QMetaObject::invokeMethod(
            &receiver_,
            [this, generation, key, entry, box, pixels = std::move(pixels)]() mutable {
                finish(generation, key, entry, box, std::move(pixels));
            },
            Qt::QueuedConnection);
    });
}

void OverlayImageCache::finish(std::uint64_t generation, const std::string& key,
                               const ColorAdjustInstruction::ImageOverlayEntry& entry, QSize box,
                               media::PixelBuffer pixels) {
    if (generation != generation_) {
        return;
    }
    const auto load = inFlight_.find(key);
    const std::optional<QSize> next = load != inFlight_.end() ? load->second.next : std::nullopt;
    inFlight_.erase(key);
    if (pixels.isNull()) {
        failed_.insert(key);
        return;
    }
    const auto cost =
        static_cast<std::size_t>(pixels.width()) * static_cast<std::size_t>(pixels.height()) * 4;
    const std::string sized = sizedKey(key, box);
    QImage image = imageOfPixels(pixels);
    if (pixels.isOpaque()) {
        // Qt copies opaque pixels where it would blend premultiplied ones,
        // several times faster on every paint.
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    cache_.setObject(sized, Image{pixels, std::move(image), box}, cost);
    latest_[key] = sized;
    if (next && !cache_.contains(sizedKey(key, *next))) {
        start(key, entry, *next);
    }
    if (onImageReady_) {
        onImageReady_();
    }
}

} // namespace vexel
