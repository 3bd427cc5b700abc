#pragma once

#include "presentation/viewmodels/OverlayKeyPressModifier.h"

#include <QObject>

namespace vexel {

// Gives a focusable overlay view its keyboard controls when installed as the
// view's event filter: key presses and their auto-repeats go to the modifier,
// and the keys it handles are taken from the window's shortcuts and go no
// further. Releases pass through untouched.
class OverlayKeyPressFilter : public QObject {
    Q_OBJECT

public:
    explicit OverlayKeyPressFilter(OverlayKeyPressModifier modifier, QObject* parent = nullptr);

    // The view replaces the clip when its overlay changes.
    OverlayKeyPressModifier& modifier() { return modifier_; }
    // Off while the view shows no overlay to move: then every key passes on.
    void setEnabled(bool enabled) { enabled_ = enabled; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OverlayKeyPressModifier modifier_;
    bool enabled_ = true;
};

} // namespace vexel
