#include "presentation/viewmodels/OverlayKeyPressModifier.h"

#include <optional>

namespace vexel {

namespace {

struct Nudge {
    double dx;
    double dy;
};

std::optional<Nudge> nudgeFor(int key) {
    constexpr double step = OverlayKeyPressModifier::nudgeStep;
    switch (key) {
    case Qt::Key_Left:
        return Nudge{-step, 0};
    case Qt::Key_Right:
        return Nudge{step, 0};
    case Qt::Key_Up:
        return Nudge{0, -step};
    case Qt::Key_Down:
        return Nudge{0, step};
    default:
        return std::nullopt;
    }
}

std::optional<double> scaleFor(QStringView text) {
    if (text == u"+") {
        return OverlayKeyPressModifier::scaleStep;
    }
    if (text == u"-") {
        return -OverlayKeyPressModifier::scaleStep;
    }
    return std::nullopt;
}

bool isCommandChord(Qt::KeyboardModifiers modifiers) {
    return (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

} // namespace

bool OverlayKeyPressModifier::keyPressed(int key, QStringView text,
                                         Qt::KeyboardModifiers modifiers) const {
    if (isCommandChord(modifiers)) {
        return false;
    }
    if (const std::optional<Nudge> nudge = nudgeFor(key)) {
        if (onArrow) {
            onArrow(clip, nudge->dx, nudge->dy);
        }
        return true;
    }
    if (const std::optional<double> delta = scaleFor(text)) {
        if (onScale) {
            onScale(clip, *delta);
        }
        return true;
    }
    return false;
}

bool OverlayKeyPressModifier::handles(int key, QStringView text, Qt::KeyboardModifiers modifiers) {
    return !isCommandChord(modifiers) && (nudgeFor(key) || scaleFor(text));
}

} // namespace vexel
