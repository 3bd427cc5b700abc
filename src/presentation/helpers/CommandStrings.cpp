#include "presentation/helpers/CommandStrings.h"

#include <array>

namespace vexel {

namespace {

constexpr auto entries = std::to_array<StringTable::Entry>({
    {"command.moved %@", "Moved clip to %@"},
    {"command.trimmed %@ %@", "Trimmed clip to %@ – %@"},
    {"command.volume %@", "Set volume to %@%%"},
    {"command.addClipOnTrack %@ %@ %@", "Added %@ at %@ on %@"},
    {"command.addClip %@ %@", "Added %@ at %@"},
    {"command.addTrackNamed %@ %@", "Added %@ track \"%@\""},
    {"command.addTrack %@", "Added %@ track"},
    {"command.removeClip", "Removed clip"},
    {"command.addText %@ %@ %@", "Added text \"%@\" at %@ for %@"},
    {"command.addTextNoDuration %@ %@", "Added text \"%@\" for %@"},
    {"command.split %@", "Split clip at %@"},
    {"command.editText.text %@", "text to \"%@\""},
    {"command.editText.position %@", "position to %@"},
    {"command.editText.style", "style"},
    {"command.editText.timing %@ %@", "timing to %@ – %@"},
    {"command.editTextUpdated", "Updated text"},
    {"command.editTextChanged %@", "Changed text: %@"},
    {"command.duplicateClip", "Duplicated clip"},
    {"command.speed %@", "Set speed to %@x"},
    {"command.opacity %@", "Set opacity to %@%%"},
    {"command.colorAdjust", "Adjusted colors"},
    {"command.rotated %@", "rotated %@°"},
    {"command.flippedHorizontally", "flipped horizontally"},
    {"command.flippedVertically", "flipped vertically"},
    {"command.rotateFlipUpdated", "Updated rotation and flip"},
    {"command.crop", "Cropped clip"},
    {"command.fadeIn %@", "fade in %@s"},
    {"command.fadeOut %@", "fade out %@s"},
    {"command.transitionCleared", "Removed fades"},
    {"command.transition %@", "Added %@"},
    {"command.reverse", "Reversed clip"},
    {"command.filterRemoved", "Removed filter"},
    {"command.filterApplied %@", "Applied %@ filter"},
    {"command.filterAppliedIntensity %@ %@", "Applied %@ filter at %@%%"},
    {"command.crossDissolveRemoved", "Removed cross-dissolve"},
    {"command.crossDissolve %@", "Added %@s cross-dissolve"},
    {"command.setTextAnimation", "Set text animation"},
    {"command.setImageAnimation", "Set image animation"},
    {"command.addAudioEffect", "Added audio effect"},
    {"command.removeAudioEffect", "Removed audio effect"},
    {"command.imageOverlayUpdated", "Updated image overlay"},
    {"command.imageOverlayRepositioned", "Moved image overlay"},
    {"command.imageOverlayRescaled", "Resized image overlay"},
    {"command.imageOverlayRepositionedAndRescaled", "Moved and resized image overlay"},
    {"command.scaleText %@", "Scaled text to %@%%"},
    {"command.export %@", "Exporting as %@"},
    {"command.reportBug", "Sent bug report"},
    {"command.requestFeature", "Sent feature request"},
    {"command.showTutorial", "Started the tutorial"},
    {"command.undo", "Undid the last change"},
    {"command.redo", "Redid the last change"},
});

} // namespace

const StringTable& commandStrings() {
    static const StringTable table(entries);
    return table;
}

} // namespace vexel
