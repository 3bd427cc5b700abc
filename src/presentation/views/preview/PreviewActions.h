#pragma once

#include "domain/entities/EditCommand.h"
#include "foundation/Uuid.h"

#include <functional>
#include <optional>
#include <vector>

namespace vexel {

// How the preview reports what the user did to its overlays: each finished
// gesture, key press or inspector action calls one of these once, with
// normalised values (x and y as fractions of the picture from its top-left
// corner). The preview changes nothing itself; its owner fills the callbacks
// and turns them into edits. An empty callback reports nothing.
struct PreviewActions {
    // Select a text clip; none clears the selection.
    std::function<void(std::optional<Uuid> clipId)> onSelectText;
    // A dragged or nudged text's new position, x and y in 0...1.
    std::function<void(const Uuid& clipId, double x, double y)> onRepositionText;
    // The commands the text inspector built.
    std::function<void(std::vector<EditCommand> commands)> onEditText;
    // Delete the text whose inspector asked for it.
    std::function<void(const Uuid& clipId)> onDeleteText;
    // A pinched or stepped text's new scale, 0.1...5.
    std::function<void(const Uuid& clipId, double scale)> onScaleText;
    // A dragged, pinched or nudged image's new position and scale.
    std::function<void(const Uuid& clipId, double x, double y, double scale)> onTransformImage;
};

} // namespace vexel
