#include "data/composition/ColorAdjustInstruction.h"

#include "domain/usecases/TransitionUseCase.h"

#include <algorithm>

namespace vexel {

namespace {

bool hasFadeWindow(const FadeTimingInfo& timing) {
    return timing.fadeInStart.has_value() || timing.fadeOutStart.has_value();
}

bool isGeometric(const std::optional<TransitionType>& type) {
    return type && TransitionUseCase::isGeometric(*type);
}

template <typename Item>
std::vector<const Item*> activeAt(const std::vector<Item>& items, const media::MediaTime& time) {
    std::vector<const Item*> active;
    for (const Item& item : items) {
        if (item.fadeTiming.isActive(time)) {
            active.push_back(&item);
        }
    }
    return active;
}

} // namespace

ColorAdjustInstruction::ColorAdjustInstruction(std::vector<Entry> entries,
                                               media::MediaTimeRange timeRange,
                                               media::Size renderSize,
                                               std::vector<TextOverlayEntry> textOverlays,
                                               std::vector<ImageOverlayEntry> imageOverlays)
    : entries_(std::move(entries))
    , textOverlays_(std::move(textOverlays))
    , imageOverlays_(std::move(imageOverlays))
    , timeRange_(timeRange)
    , renderSize_(renderSize) {
    containsTweening_ =
        std::any_of(entries_.begin(), entries_.end(),
                    [](const Entry& entry) {
                        return hasFadeWindow(entry.fadeTiming) ||
                               isGeometric(entry.transitionType) ||
                               isGeometric(entry.transitionOutType);
                    }) ||
        std::any_of(textOverlays_.begin(), textOverlays_.end(),
                    [](const TextOverlayEntry& text) {
                        return hasFadeWindow(text.fadeTiming) || text.textAnimation.has_value();
                    }) ||
        std::any_of(imageOverlays_.begin(), imageOverlays_.end(),
                    [](const ImageOverlayEntry& image) {
                        return hasFadeWindow(image.fadeTiming) || image.imageAnimation.has_value();
                    });
}

std::vector<int> ColorAdjustInstruction::requiredSourceTrackIDs() const {
    std::vector<int> ids;
    ids.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        ids.push_back(entry.trackID);
    }
    return ids;
}

std::vector<const ColorAdjustInstruction::Entry*>
ColorAdjustInstruction::activeEntries(const media::MediaTime& time) const {
    return activeAt(entries_, time);
}

std::vector<const ColorAdjustInstruction::TextOverlayEntry*>
ColorAdjustInstruction::activeTextOverlays(const media::MediaTime& time) const {
    return activeAt(textOverlays_, time);
}

std::vector<const ColorAdjustInstruction::ImageOverlayEntry*>
ColorAdjustInstruction::activeImageOverlays(const media::MediaTime& time) const {
    return activeAt(imageOverlays_, time);
}

} // namespace vexel
