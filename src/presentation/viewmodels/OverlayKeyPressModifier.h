#pragma once

#include "domain/entities/Clip.h"

#include <QStringView>
#include <Qt>

#include <functional>

namespace vexel {

// The keyboard controls of a focused text or image overlay on the preview: the
// arrow keys nudge it by a hundredth of the frame (up is negative y), "+" and
// "-" scale it by a tenth. It only turns key presses into requests; the overlay
// view applies them, and any bounds, through its own edit paths. GUI thread
// only.
struct OverlayKeyPressModifier {
    static constexpr double nudgeStep = 0.01;
    static constexpr double scaleStep = 0.1;

    using ArrowAction = std::function<void(const Clip& clip, double dx, double dy)>;
    using ScaleAction = std::function<void(const Clip& clip, double delta)>;

    // The overlay's clip, passed back with every request.
    Clip clip;
    // Move by frame fractions.
    ArrowAction onArrow;
    // Scale by a signed step.
    ScaleAction onScale;

    // Handles a key press, an auto-repeat being one more press: a `Qt::Key`
    // for the arrows, and the typed text for "+" and "-" (so "=", the unshifted
    // plus key of many layouts, does nothing). A key held with Ctrl, Alt or
    // Meta is a command's (Ctrl+- zooms the timeline), never the overlay's;
    // Shift and the keypad are how "+" and the keypad's keys are typed.
    // Returns whether the key was one of the six and must go no further.
    // Releases are not passed here.
    bool keyPressed(int key, QStringView text, Qt::KeyboardModifiers modifiers) const;
    // Whether a press of the key would be handled: the key is the overlay's,
    // not a shortcut's.
    static bool handles(int key, QStringView text, Qt::KeyboardModifiers modifiers);
};

} // namespace vexel
