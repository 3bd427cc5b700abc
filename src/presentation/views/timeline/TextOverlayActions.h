#pragma once

#include "foundation/Uuid.h"

#include <functional>

namespace vexel {

// How the bars of the text lane report what the user did; the timeline panel
// fills it. An empty callback makes its menu item only select the clip.
struct TextOverlayActions {
    std::function<void(const Uuid& clipId)> onSelectClip;
    // A new start in seconds.
    std::function<void(const Uuid& clipId, double newStart)> onMoveOverlay;
    std::function<void(const Uuid& clipId)> onDeleteOverlay;
    std::function<void(const Uuid& clipId)> onDuplicateOverlay;
    std::function<void(const Uuid& clipId)> onEditOverlay;
    std::function<void(const Uuid& clipId)> onEditTextEffects;
    std::function<void()> onOpenCommandPalette;
};

} // namespace vexel
