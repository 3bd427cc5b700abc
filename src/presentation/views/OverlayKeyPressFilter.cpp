#include "presentation/views/OverlayKeyPressFilter.h"

#include <QKeyEvent>

#include <utility>

namespace vexel {

OverlayKeyPressFilter::OverlayKeyPressFilter(OverlayKeyPressModifier modifier, QObject* parent)
    : QObject(parent)
    , modifier_(std::move(modifier)) {}

bool OverlayKeyPressFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Accepting the override sends the key to the overlay rather than to a
        // shortcut of the window that uses the same key.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (enabled_ &&
            OverlayKeyPressModifier::handles(key->key(), key->text(), key->modifiers())) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (enabled_ && modifier_.keyPressed(key->key(), key->text(), key->modifiers())) {
            event->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vexel
